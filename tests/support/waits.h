#pragma once

#include <chrono>
#include <functional>

namespace testing_support {

// Polls the condition until it holds or the (generous) time-out passes; Qt events are let
// through meanwhile when an application exists. False after the time-out.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace testing_support
