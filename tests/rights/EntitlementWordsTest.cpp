#include "rights/CheckBoxNumbering.h"
#include "rights/EffectiveWords.h"
#include "rights/EntitlementWords.h"

#include <gtest/gtest.h>

using namespace kavrin;

TEST(EntitlementWords, EveryWordSurvivesDecodeAndEncode) {
    for (int word = 0; word <= kMaxWord; ++word) ASSERT_EQ(bit_to_int(int_to_bit(word)), word) << word;
}

TEST(EntitlementWords, BitJStandsForChannelPositionJ) {
    struct Case {
        int word;
        std::vector<int> positions;
    } cases[] = {
        {0, {}},
        {1, {0}},          // "Канал_1" alone
        {0x4000, {14}},    // "Канал_15" alone
        {0x0005, {0, 2}},
        {0x7FFF, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {0x8001, {0}},     // bit 15 is never a channel
        {0xFFFF, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    };
    for (const Case& c : cases) {
        ChannelFlags expected{};
        for (int j : c.positions) expected[j] = 1;
        EXPECT_EQ(int_to_bit(c.word), expected) << c.word;
    }
}

TEST(EntitlementWords, EncodingCountsAnyNonZeroFlagAndNeverSetsBit15) {
    ChannelFlags flags{};
    flags[3] = 1;
    flags[14] = 7;
    EXPECT_EQ(bit_to_int(flags), (1 << 3) | (1 << 14));
    flags.fill(1);
    EXPECT_EQ(bit_to_int(flags), kMaxWord);
}

TEST(EntitlementWords, WordColumns) {
    EXPECT_STREQ(word_column(1), "64_1");
    EXPECT_STREQ(word_column(62), "64_62");
    EXPECT_STREQ(word_column(64), "64_64");
    EXPECT_STREQ(word_column(0), "");
    EXPECT_STREQ(word_column(65), "");
}

TEST(CheckBoxNumbering, NumbersAndCellsMatch) {
    struct Case {
        int stream, position, number;
    } cases[] = {{1, 0, 17}, {1, 15, 32}, {2, 0, 33}, {62, 0, 993}, {62, 14, 1007}, {62, 15, 1008}};
    for (const Case& c : cases) {
        EXPECT_EQ(checkbox_number(c.stream, c.position), c.number);
        const auto cell = checkbox_cell(c.number);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->stream, c.stream);
        EXPECT_EQ(cell->position, c.position);
    }
    EXPECT_FALSE(checkbox_cell(16));
    EXPECT_FALSE(checkbox_cell(1009));
    EXPECT_TRUE(is_uncoded_checkbox(32));
    EXPECT_TRUE(is_uncoded_checkbox(1008));
    EXPECT_FALSE(is_uncoded_checkbox(1007));
}

TEST(CheckBoxNumbering, WordsToTicksAndBack) {
    Mas64 words{};
    words[1] = 1;        // stream 1, position 0 -> box 17
    words[2] = 0x4000;   // stream 2, position 14 -> box 47
    words[62] = 0x7FFF;  // all of stream 62 -> boxes 993..1007
    const CheckBoxTicks ticks = convert_from_mas64_to_ticks(words);
    EXPECT_TRUE(ticks[17]);
    EXPECT_FALSE(ticks[18]);
    EXPECT_TRUE(ticks[47]);
    EXPECT_FALSE(ticks[46]);
    for (int n = 993; n <= 1007; ++n) EXPECT_TRUE(ticks[n]) << n;
    for (int s = 1; s <= kStreamsInUse; ++s) EXPECT_TRUE(ticks[checkbox_number(s, 15)]) << s;  // uncoded: always
    for (int s = 3; s <= 61; ++s)
        for (int j = 0; j < 15; ++j) EXPECT_FALSE(ticks[checkbox_number(s, j)]);
    EXPECT_EQ(convert_ticks_to_mas64(ticks), words);
}

TEST(EffectiveWords, PackagePriorityChoosesThePackagesWords) {
    Mas64 own{}, package{};
    own[5] = 3;
    package[5] = 0x100;
    EXPECT_EQ(effective_words(own, true, package), package);
    EXPECT_EQ(effective_words(own, false, package), own);  // whatever package is named
    EXPECT_EQ(effective_words(own, true, std::nullopt), own);  // a missing package never lends another's words
}
