#include "platform/qt/locale_compare.h"

#include <QCollator>
#include <QLocale>

#include "platform/qt/text_edge.h"

namespace platform {
namespace {

QCollator& collator() {
    // The locale is read once: the user's default at first use.
    static QCollator c = [] {
        QCollator made{QLocale()};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return c;
}

}  // namespace

int LocaleCompareNoCase(std::string_view a, std::string_view b) {
    return collator().compare(latin1(a), latin1(b));
}

bool LocaleSortedStrings::Add(std::string text) {
    return entries_.insert(std::move(text)).second;
}

bool LocaleSortedStrings::Contains(std::string_view text) const {
    return entries_.find(text) != entries_.end();
}

std::vector<std::string> LocaleSortedStrings::Items() const {
    return {entries_.begin(), entries_.end()};
}

}  // namespace platform
