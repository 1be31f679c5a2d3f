#include "client/song_index.h"

#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/ascii.h"

namespace sonpad {

std::string SongIndex::NumberKey(std::string_view record) {
    return kv::RecordSongNumber(record);
}

std::string SongIndex::FileNameKey(std::string_view record) {
    // The file name of the trimmed path, found without copying the path.
    std::string_view path = record.size() < kv::kRecordPathColumn
                                ? std::string_view()
                                : record.substr(kv::kRecordPathColumn - 1);
    while (!path.empty() && platform::ascii::isTrimmed(path.front()))
        path.remove_prefix(1);
    while (!path.empty() && platform::ascii::isTrimmed(path.back()))
        path.remove_suffix(1);
    return kv::ExtractFileName(path);
}

// Number and path: what tells one record from another, whatever its tag columns say.
std::string SongIndex::Identity(std::string_view record) {
    return kv::RecordSongNumber(record) + kv::RecordPath(record);
}

void SongIndex::Clear() {
    byNumber_.clear();
    byFileName_.clear();
    size_ = 0;
    appending_ = false;
    data_ = nullptr;
    front_.clear();
    back_.clear();
}

void SongIndex::Reserve(size_t records) {
    byNumber_.reserve(records);
    byFileName_.reserve(records);
}

void SongIndex::Add(const Library& library, int index) {
    // Only the record appended to the library the index follows is added by itself.
    if (static_cast<size_t>(index) != size_ || library.size() != size_ + 1) {
        Rebuild(library);
        return;
    }
    Insert(library[size_], index);
    ++size_;
    appending_ = true;
}

void SongIndex::Insert(const std::string& record, int index) {
    byNumber_.try_emplace(NumberKey(record), index);
    byFileName_.try_emplace(FileNameKey(record), index);
}

int SongIndex::FindByNumber(const Library& library, std::string_view number) {
    return Find(library, byNumber_, &NumberKey, number);
}

int SongIndex::FindByFileName(const Library& library, std::string_view fileName) {
    return Find(library, byFileName_, &FileNameKey, fileName);
}

int SongIndex::Find(const Library& library, const Keys& keys, KeyOf keyOf, std::string_view key) {
    if (library.empty())
        return -1;
    if (appending_ && library.size() == size_)
        Follow(library);  // a look-up while the scan still adds records
    if (!InStep(library))
        Rebuild(library);
    for (int attempt = 0;; ++attempt) {
        const auto found = keys.find(std::string(key));
        if (found == keys.end())
            return -1;
        const auto i = static_cast<size_t>(found->second);
        if (i < library.size() && keyOf(library[i]) == key)
            return found->second;
        if (attempt > 0)
            return -1;
        Rebuild(library);  // a record changed in place
    }
}

bool SongIndex::InStep(const Library& library) const {
    return library.size() == size_ &&
           (library.empty() || (library.data() == data_ && Identity(library.front()) == front_ &&
                                Identity(library.back()) == back_));
}

void SongIndex::Rebuild(const Library& library) {
    Clear();
    Reserve(library.size());
    for (size_t i = 0; i < library.size(); ++i)
        Insert(library[i], static_cast<int>(i));
    size_ = library.size();
    Follow(library);
}

void SongIndex::Follow(const Library& library) {
    if (library.size() != size_) {
        Rebuild(library);
        return;
    }
    appending_ = false;
    data_ = library.data();
    front_ = library.empty() ? std::string() : Identity(library.front());
    back_ = library.empty() ? std::string() : Identity(library.back());
}

}  // namespace sonpad
