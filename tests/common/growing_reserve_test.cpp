#include "common/growing_reserve.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A list filled folder by folder, each folder adding a few songs: the room made for the running
// total must grow in steps, or every folder moves every record read so far.
TEST(ReserveGrowing, ManySmallFoldersMoveTheListOnlyLogarithmicallyOften) {
    std::vector<std::string> list;
    int moves = 0;
    for (int folder = 0; folder < 3000; ++folder) {
        const auto* before = list.data();
        kv::ReserveGrowing(list, list.size() + 3);
        if (list.data() != before)
            ++moves;
        for (int song = 0; song < 3; ++song)
            list.emplace_back("record");
        ASSERT_GE(list.capacity(), list.size());
    }
    EXPECT_LE(moves, 15);
}

TEST(ReserveGrowing, ALargeFolderGetsItsRoomAtOnceAndAFittingOneNothing) {
    std::vector<int> list(10);
    list.shrink_to_fit();
    kv::ReserveGrowing(list, 1000);
    EXPECT_GE(list.capacity(), 1000u);
    const auto capacity = list.capacity();
    kv::ReserveGrowing(list, 500);
    EXPECT_EQ(list.capacity(), capacity);
}

}  // namespace
