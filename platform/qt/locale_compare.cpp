#include "platform/qt/locale_compare.h"

#include <QLocale>
#include <optional>

#include "platform/ascii.h"
#include "platform/qt/text_edge.h"

namespace platform {
namespace {

// The collator of the default locale, made anew only when that locale changes.
QCollator currentCollator() {
    static std::optional<QCollator> cached;
    const QLocale locale;
    if (!cached || cached->locale() != locale) {
        cached.emplace(locale);
        cached->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return *cached;
}

QString shown(std::string_view s, TextKind kind) {
    return kind == TextKind::FileName ? fileName(s) : latin1(s);
}

}  // namespace

int LocaleCompareNoCase(std::string_view a, std::string_view b, TextKind kind) {
    return currentCollator().compare(shown(a, kind), shown(b, kind));
}

LocaleSortedStrings::LocaleSortedStrings(TextKind kind)
    : kind_(kind), entries_(Less{currentCollator()}) {}

bool LocaleSortedStrings::Less::operator()(const Entry& a, const Entry& b) const {
    const int order = collator.compare(a.shown, b.shown);
    if (order != 0)
        return order < 0;
    return a.upper < b.upper;  // a fixed order for what the locale calls equal
}

LocaleSortedStrings::Entry LocaleSortedStrings::MakeEntry(std::string text) const {
    std::string upper = ascii::upper(text);
    QString forCollator = shown(upper, kind_);
    return {std::move(text), std::move(upper), std::move(forCollator)};
}

bool LocaleSortedStrings::Add(std::string text) {
    return entries_.insert(MakeEntry(std::move(text))).second;
}

bool LocaleSortedStrings::Contains(std::string_view text) const {
    return entries_.find(MakeEntry(std::string(text))) != entries_.end();
}

std::vector<std::string> LocaleSortedStrings::Items() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const Entry& entry : entries_)
        out.push_back(entry.text);
    return out;
}

}  // namespace platform
