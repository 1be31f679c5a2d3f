#pragma once

#include <QDate>
#include <QTime>
#include <string>

// Dates and times in the user's formats, as the windows show them.
namespace platform {

std::string ShortDateText(const QDate& date);
// The long time format without a time zone (hours, minutes, seconds).
std::string LongTimeText(const QTime& time);

}  // namespace platform
