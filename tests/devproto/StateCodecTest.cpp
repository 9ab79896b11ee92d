// Chip and port lists of a device's state pages, and the scrambling generator.
#include "CPgmComm.h"
#include "CRng.h"
#include "StateCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes chipRecord(const char* name, std::uint8_t type) {
    Bytes r(16, 0);
    std::memcpy(r.data(), name, std::min<std::size_t>(std::strlen(name), 15));
    r[15] = type;
    return r;
}

TEST(StatePages, NoChips) {
    std::vector<CChip> chips;
    EXPECT_EQ(mirlak::parseChipPage(Bytes {0x01, 0x00, 0xFF}, chips), 1);
    EXPECT_TRUE(chips.empty());
    EXPECT_EQ(mirlak::parseChipPage(Bytes {}, chips), -1);
}

TEST(StatePages, ChipsAndTheirPorts) {
    Bytes page0 {0x02, 0x00};
    const Bytes a = chipRecord("TUNER-A", 3), b = chipRecord("ABCDEFGHIJKLMNO", 9);  // 15 name bytes
    page0.insert(page0.end(), a.begin(), a.end());
    page0.insert(page0.end(), b.begin(), b.end());
    page0.push_back(0xFF);
    std::vector<CChip> chips;
    ASSERT_EQ(mirlak::parseChipPage(page0, chips), 2);
    ASSERT_EQ(chips.size(), 2u);
    EXPECT_STREQ(chips[0].m_Name, "TUNER-A");
    EXPECT_EQ(chips[0].m_Type, 3u);
    EXPECT_STREQ(chips[1].m_Name, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(chips[1].m_Name[15], 0);
    EXPECT_EQ(chips[1].m_Type, 9u);

    ASSERT_TRUE(mirlak::parsePortPage(Bytes {0x00, 0x05, 0x07, 0x01, 0x08, 0x09, 0x00, 0x0A, 0x0B, 0xFF}, chips));
    ASSERT_EQ(chips[0].m_PortCount, 2);
    EXPECT_EQ(chips[0].m_Ports[0].m_Byte1, 5u);
    EXPECT_EQ(chips[0].m_Ports[0].m_Byte2, 7u);
    EXPECT_EQ(chips[0].m_Ports[1].m_Byte1, 10u);
    ASSERT_EQ(chips[1].m_PortCount, 1);
    EXPECT_EQ(chips[1].m_Ports[0].m_Byte2, 9u);
}

TEST(StatePages, ListsWithoutEndMarkEndWhereThePayloadEnds) {
    std::vector<CChip> chips;
    Bytes page0 {0x01, 0x00};
    const Bytes a = chipRecord("X", 1);
    page0.insert(page0.end(), a.begin(), a.end());
    page0.insert(page0.end(), {'Y', 'Y', 'Y'});  // a cut-off second record
    EXPECT_EQ(mirlak::parseChipPage(page0, chips), 1);
    ASSERT_EQ(chips.size(), 1u);

    EXPECT_TRUE(mirlak::parsePortPage(Bytes {0x00, 0x01, 0x02, 0x00, 0x03}, chips));
    EXPECT_EQ(chips[0].m_PortCount, 1);
}

TEST(StatePages, BadPortRecords) {
    std::vector<CChip> chips(1);
    EXPECT_THROW(mirlak::parsePortPage(Bytes {0x01, 0x00, 0x00, 0xFF}, chips), std::invalid_argument);

    Bytes full;
    for (int i = 0; i < CChip::kMaxPorts; ++i) full.insert(full.end(), {0x00, static_cast<std::uint8_t>(i), 0x00});
    ASSERT_TRUE(mirlak::parsePortPage(full, chips));
    EXPECT_EQ(chips[0].m_PortCount, CChip::kMaxPorts);
    EXPECT_FALSE(mirlak::parsePortPage(Bytes {0x00, 0x01, 0x01, 0xFF}, chips));
    EXPECT_EQ(chips[0].m_PortCount, CChip::kMaxPorts);
}

TEST(Generator, FirstValuesFromStateZero) {
    CRng rng;
    rng.Init(0);
    EXPECT_EQ(rng.Next(), 180);
    EXPECT_EQ(rng.Next(), 13);
    EXPECT_EQ(rng.Next(), 209);
}

TEST(Generator, ScramblingRestartsWithTheSeedAndIsItsOwnInverse) {
    static_assert(CPgmComm::kScramblingSeed >= 100 && CPgmComm::kScramblingSeed <= 999);
    struct Scrambler : CPgmComm {
        Scrambler() : CPgmComm(-1) {}
        using CPgmComm::ResetScrambling;
    } s;
    const Bytes plain {0x03, 0x00, 0x10, 0x20, 0x30};
    Bytes once = plain, twice;
    s.ResetScrambling();
    s.Scramble(once.data(), static_cast<int>(once.size()));
    EXPECT_NE(once, plain);

    CRng rng;
    rng.Init(CPgmComm::kScramblingSeed);
    twice = once;
    for (auto& b : twice) b ^= static_cast<std::uint8_t>(rng.Next());
    EXPECT_EQ(twice, plain);

    Bytes again = plain;
    s.ResetScrambling();
    s.Scramble(again.data(), static_cast<int>(again.size()));
    EXPECT_EQ(again, once);
}

}  // namespace
