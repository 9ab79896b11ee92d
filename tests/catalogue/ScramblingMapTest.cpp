// Building the scrambling map from the channel table's flags.
#include "catalogue/ScramblingMap.h"

#include <gtest/gtest.h>

using namespace kavrin;

namespace {

StreamCodes codes(int stream, std::initializer_list<int> scrambledPositions) {
    StreamCodes row;
    row.stream = stream;
    for (int j : scrambledPositions) row.scrambled[j] = 1;
    return row;
}

}  // namespace

TEST(ScramblingMapTest, StreamsWithoutRowsGetZeroWords) {
    const ScramblingMap map = buildScramblingMap({codes(1, {0}), codes(2, {0, 14}), codes(5, {1, 2})});
    EXPECT_EQ(map.word(1), 0x0001);
    EXPECT_EQ(map.word(2), 0x4001);
    EXPECT_EQ(map.word(5), 0x0006);
    for (int s : {3, 4}) EXPECT_EQ(map.word(s), 0) << s;
    for (int s = 6; s <= 62; ++s) EXPECT_EQ(map.word(s), 0) << s;
    EXPECT_EQ(map.highestStream, 5);
}

TEST(ScramblingMapTest, RowOrderDoesNotMatterAndTheFirstRowOfAStreamCounts) {
    const ScramblingMap map = buildScramblingMap({codes(7, {3}), codes(2, {}), codes(7, {4})});
    EXPECT_EQ(map.word(7), 0x0008);
    EXPECT_EQ(map.word(2), 0);
    EXPECT_EQ(map.highestStream, 7);
}

TEST(ScramblingMapTest, StreamsOutsideTheMapGiveNoWordButCountAsHighest) {
    std::vector<StreamCodes> rows{codes(0, {0}), codes(62, {14}), codes(63, {0}), codes(300, {1})};
    const ScramblingMap map = buildScramblingMap(rows);
    EXPECT_EQ(map.word(62), 0x4000);
    EXPECT_EQ(map.highestStream, 300);
    for (int s = 1; s < 62; ++s) EXPECT_EQ(map.word(s), 0) << s;
}

TEST(ScramblingMapTest, EmptyTableGivesZeroMap) {
    const ScramblingMap map = buildScramblingMap({});
    EXPECT_EQ(map.highestStream, 0);
    for (quint16 w : map.words) EXPECT_EQ(w, 0);
}
