#pragma once

#include <QCollator>
#include <QString>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The platform's text comparison for the user's default locale, without regard to case. The
// programs use it only where a sorted list of theirs asks for the locale's order (tree keys,
// playlist and queue files); list views sort with platform::widgets::CompareListText instead.
// User-interface thread only.
namespace platform {

// What the bytes of a text stand for; the collator must see the letters the user sees.
enum class TextKind {
    FileName,  // the file system's text: UTF-8, any other byte as its stand-in (text_edge.h)
    Latin1,    // tag and record texts
};

// Negative, zero or positive.
int LocaleCompareNoCase(std::string_view a, std::string_view b, TextKind kind);

// A sorted list of texts in that order. A text is dropped only when the list holds one equal
// to it after upper-casing a to z; texts the locale merely calls equal are all kept, in the
// order of their upper-cased bytes, so no name is lost and the order does not depend on the
// order of adding.
class LocaleSortedStrings {
  public:
    explicit LocaleSortedStrings(TextKind kind);

    // True when the text was added; false when one equal to it is held (that one stays).
    bool Add(std::string text);
    bool Contains(std::string_view text) const;
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }
    // The texts in order.
    std::vector<std::string> Items() const;

  private:
    struct Entry {
        std::string text;
        std::string upper;  // a to z upper-cased: what duplicates are told by
        QString shown;      // upper, as the collator reads it
    };
    struct Less {
        QCollator collator;  // shared, not copied, with every list of the same locale
        bool operator()(const Entry& a, const Entry& b) const;
    };
    Entry MakeEntry(std::string text) const;

    TextKind kind_;
    std::set<Entry, Less> entries_;
};

}  // namespace platform
