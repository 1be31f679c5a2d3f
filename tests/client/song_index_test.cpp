// The look-up index answers exactly what a walk over the library from its start answers.
#include "client/song_index.h"

#include <gtest/gtest.h>

#include <random>

#include "common/song_record.h"
#include "common/text_helpers.h"

namespace {

using Library = sonpad::SongIndex::Library;

std::string Record(std::int64_t number, std::string_view path) {
    kv::SongFields f;
    f.title = "T";
    f.genre = "012";
    f.path = std::string(path);
    return kv::BuildSongRecord(number, f);
}

std::int32_t WalkByName(const Library& library, std::string_view name) {
    for (size_t i = 0; i < library.size(); ++i)
        if (kv::ExtractFileName(kv::Trim(kv::RecordPath(library[i]))) == name)
            return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t WalkByNumber(const Library& library, std::string_view number) {
    for (size_t i = 0; i < library.size(); ++i)
        if (kv::RecordSongNumber(library[i]) == number)
            return static_cast<std::int32_t>(i);
    return -1;
}

// Every key of the library, and some that are in none of its records.
std::vector<std::string> Names(const Library& library) {
    std::vector<std::string> names{"", "NONE.MP3", " A.MP3", "a.mp3"};
    for (const std::string& r : library)
        names.push_back(kv::ExtractFileName(kv::Trim(kv::RecordPath(r))));
    return names;
}

std::vector<std::string> Numbers(const Library& library) {
    std::vector<std::string> numbers{"", "1", "000000", "0000001"};
    for (const std::string& r : library)
        numbers.push_back(kv::RecordSongNumber(r));
    return numbers;
}

void ExpectSameAsWalk(sonpad::SongIndex& index, const Library& library, const char* when) {
    for (const std::string& name : Names(library))
        ASSERT_EQ(index.FindByFileName(library, name), WalkByName(library, name))
            << when << ": " << name;
    for (const std::string& number : Numbers(library))
        ASSERT_EQ(index.FindByNumber(library, number), WalkByNumber(library, number))
            << when << ": " << number;
}

// Names repeat across folders; numbers past 999999 keep six digits and so repeat too.
Library RandomLibrary(std::mt19937& random, int size) {
    std::uniform_int_distribution<int> name(0, size / 3 + 1), folder(0, 3);
    Library library;
    for (int i = 0; i < size; ++i) {
        const std::int64_t number = (i % 5 == 4) ? 1000000 + i % 3 : i + 1;
        library.push_back(Record(number, "/M/F" + std::to_string(folder(random)) + "/" +
                                             (i % 7 == 0 ? "A" : "S") +
                                             std::to_string(name(random)) + ".MP3"));
    }
    return library;
}

TEST(SongIndex, AnswersLikeTheWalkWhileFilledAndAfterChangesBehindItsBack) {
    std::mt19937 random(7);
    Library library;
    sonpad::SongIndex index;
    for (const std::string& r : RandomLibrary(random, 60)) {
        library.push_back(r);
        index.Add(library, static_cast<std::int32_t>(library.size() - 1));
    }
    ExpectSameAsWalk(index, library, "filled by the scan");

    library = RandomLibrary(random, 60);  // same size, perhaps the same storage
    ExpectSameAsWalk(index, library, "replaced");

    library.front() = Record(99, "/M/NEW/FIRST.MP3");
    ExpectSameAsWalk(index, library, "first record replaced");

    library.pop_back();
    ExpectSameAsWalk(index, library, "shorter");

    library.push_back(library.front());  // appended without telling the index
    ExpectSameAsWalk(index, library, "longer");

    library.clear();
    ExpectSameAsWalk(index, library, "emptied");

    library = RandomLibrary(random, 5);
    index.Add(library, 4);  // told of an append it did not follow
    ExpectSameAsWalk(index, library, "out of step");
}

TEST(SongIndex, TagColumnsTakenOverInPlaceKeepTheIndex) {
    Library library{Record(1, "/M/A.MP3"), Record(2, "/M/B.MP3")};
    sonpad::SongIndex index;
    index.Add(library, 0);
    index.Add(library, 1);
    library[1].replace(6, 127, std::string(127, 'x'));
    EXPECT_EQ(index.FindByFileName(library, "B.MP3"), 1);
    EXPECT_EQ(index.FindByNumber(library, "000002"), 1);
}

}  // namespace
