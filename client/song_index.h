#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sonpad {

// Finds library records by song number (columns 1-6) and by file name (the part of the path
// after its last separator) without walking the library: each key maps to its first record,
// so a look-up gives what a walk from the start would give.
//
// The scan adds every record as it appends it and ends with Follow. A library changed behind
// the index's back (another size, storage, first or last record, or a found record that no
// longer carries its key) is indexed afresh before a look-up answers. The only change made in
// place elsewhere, the take-over of a server record's tag columns, keeps number and path.
class SongIndex {
  public:
    using Library = std::vector<std::string>;

    void Clear();
    void Reserve(size_t records);
    // The record just appended at position index of library.
    void Add(const Library& library, int index);
    // Takes the library as it is now as the one indexed.
    void Follow(const Library& library);

    int FindByNumber(const Library& library, std::string_view number);
    int FindByFileName(const Library& library, std::string_view fileName);

    // The keys a record is found by.
    static std::string NumberKey(std::string_view record);
    static std::string FileNameKey(std::string_view record);

  private:
    using Keys = std::unordered_map<std::string, int>;
    using KeyOf = std::string (*)(std::string_view);

    int Find(const Library& library, const Keys& keys, KeyOf keyOf, std::string_view key);
    static std::string Identity(std::string_view record);
    bool InStep(const Library& library) const;
    void Rebuild(const Library& library);
    void Insert(const std::string& record, int index);

    Keys byNumber_;
    Keys byFileName_;
    size_t size_ = 0;
    bool appending_ = false;  // records added since the last Follow
    const std::string* data_ = nullptr;
    std::string front_;
    std::string back_;
};

}  // namespace sonpad
