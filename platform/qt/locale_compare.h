#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

// The platform's text comparison for the user's default locale, without regard to case. The
// programs use it only where a sorted list of theirs asks for the locale's order (tree keys,
// playlist and queue files); list views sort with platform::widgets::CompareListText instead.
// Texts are single-byte (Latin-1). User-interface thread only.
namespace platform {

// Negative, zero or positive.
int LocaleCompareNoCase(std::string_view a, std::string_view b);

// A sorted list of texts in that order that holds no two texts comparing equal: adding a text
// equal to one already held keeps the one held.
class LocaleSortedStrings {
  public:
    // True when the text was added.
    bool Add(std::string text);
    bool Contains(std::string_view text) const;
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }
    // The texts in order.
    std::vector<std::string> Items() const;

  private:
    struct Less {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const {
            return LocaleCompareNoCase(a, b) < 0;
        }
    };
    std::set<std::string, Less> entries_;
};

}  // namespace platform
