#include "platform/qt/clock_texts.h"

#include <QLocale>

#include "platform/qt/text_edge.h"

namespace platform {

std::string ShortDateText(const QDate& date) {
    return platform::fromLatin1(QLocale::system().toString(date, QLocale::ShortFormat));
}

std::string LongTimeText(const QTime& time) {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return platform::fromLatin1(QLocale::system().toString(time, format.trimmed()));
}

}  // namespace platform
