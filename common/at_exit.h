#pragma once

#include <utility>

namespace kv {

// Runs the action when the scope ends, however it ends.
template <class Action>
class AtExit {
  public:
    explicit AtExit(Action action) : action_(std::move(action)) {}
    ~AtExit() { action_(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

  private:
    Action action_;
};

}  // namespace kv
