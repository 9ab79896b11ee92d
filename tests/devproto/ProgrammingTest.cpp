// The programming protocol against the simulated boot mode: whole runs verified in the device's memory.
#include "CPgmComm.h"
#include "SimFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using headend::DeviceConfig;
using headend::Misbehaviour;

DeviceConfig bootable(std::uint16_t pageSize, std::uint16_t pages = 8, std::uint16_t eeprom = 64) {
    DeviceConfig c;
    c.address = 1;
    c.flashPageSize = pageSize;
    c.flashPages = pages;
    c.eepromSize = eeprom;
    return c;
}

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& v : b) v = static_cast<std::uint8_t>(gen());
    return b;
}

class ProgrammingRun : public simtest::SimTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProgrammingRun, WritesEveryPageAndEepromByteIntoTheDevice) {
    const int pageSize = GetParam();
    startSim({bootable(static_cast<std::uint16_t>(pageSize))});
    const Bytes image = randomBytes(static_cast<std::size_t>(pageSize) * 8, 1);
    {
        CPgmComm pgm(0);
        RP_GETINFO info {};
        ASSERT_TRUE(pgm.ConnectDirect(false, &info));
        EXPECT_TRUE(pgm.ConnectOk());
        EXPECT_TRUE(sim().inBootMode());
        ASSERT_EQ(pgm.FlashPageSize(), pageSize);
        ASSERT_EQ(pgm.FlashPages(), 8);

        sim().clearReceived();
        for (int page = 0; page < pgm.FlashPages(); ++page) {
            Bytes data(image.begin() + page * pageSize, image.begin() + (page + 1) * pageSize);
            const Bytes original = data;
            ASSERT_TRUE(pgm.WriteFlashPage(page, data.data())) << "page " << page;
            if (pageSize <= 200) {
                EXPECT_EQ(data, original);
            } else {
                EXPECT_TRUE(std::equal(data.begin(), data.begin() + 200, original.begin()));
                EXPECT_FALSE(std::equal(data.begin() + 200, data.end(), original.begin() + 200))
                    << "the second part is scrambled in the caller's buffer";
            }
        }
        const auto frames = sim().received();
        ASSERT_EQ(frames.size(), pageSize <= 200 ? 8u : 16u);
        if (pageSize <= 200) {
            EXPECT_EQ(frames[3].payload.size(), static_cast<std::size_t>(pageSize + 2));
        } else {
            EXPECT_EQ(frames[6].payload.size(), 202u);
            EXPECT_EQ(frames[7].payload.size(), static_cast<std::size_t>(pageSize - 200));
        }
        for (const auto& f : frames) {
            EXPECT_EQ(f.address, 254);
            EXPECT_EQ(f.command, 9);
        }

        for (int a = 0; a < 64; a += 9) ASSERT_TRUE(pgm.WriteEeprom(a, a * 3 + 0x100)) << a;
        EXPECT_TRUE(pgm.Disconnect());
        EXPECT_FALSE(pgm.ConnectOk());
    }
    EXPECT_FALSE(sim().inBootMode());
    EXPECT_EQ(sim().flash(), image);
    const Bytes eeprom = sim().eeprom();
    for (int a = 0; a < 64; ++a) EXPECT_EQ(eeprom[a], a % 9 == 0 ? static_cast<std::uint8_t>(a * 3) : 0xFF) << a;
}

INSTANTIATE_TEST_SUITE_P(PageSizes, ProgrammingRun, ::testing::Values(128, 256));

class ProgrammingTest : public simtest::SimTest {};

TEST_F(ProgrammingTest, OutOfRangeWritesSendNothing) {
    startSim({bootable(128, 4, 16)});
    CPgmComm pgm(0);
    ASSERT_TRUE(pgm.ConnectDirect(false, nullptr));
    sim().clearReceived();
    Bytes page(128, 1);
    EXPECT_FALSE(pgm.WriteFlashPage(pgm.FlashPages(), page.data()));
    EXPECT_FALSE(pgm.WriteEeprom(16, 1));
    EXPECT_FALSE(sim().waitForFrames(1, 100));
    // The generator did not move: the next writes still land.
    EXPECT_TRUE(pgm.WriteFlashPage(3, page.data()));
    EXPECT_TRUE(pgm.WriteEeprom(15, 0x5A));
    EXPECT_EQ(sim().eeprom()[15], 0x5A);
}

TEST_F(ProgrammingTest, EachConnectionRestartsTheScrambling) {
    startSim({bootable(128)});
    const Bytes data = randomBytes(128, 7);
    std::vector<Bytes> sent;
    for (int run = 0; run < 2; ++run) {
        CPgmComm pgm(0);
        ASSERT_TRUE(pgm.ConnectDirect(false, nullptr));
        sim().clearReceived();
        Bytes copy = data;
        ASSERT_TRUE(pgm.WriteFlashPage(2, copy.data()));
        sent.push_back(sim().received().at(0).payload);
    }
    EXPECT_EQ(sent[0], sent[1]);
    Bytes plain = {0x02, 0x00};
    plain.insert(plain.end(), data.begin(), data.end());
    EXPECT_NE(sent[0], plain);
}

TEST_F(ProgrammingTest, ResetConnectionFindsADeviceInBootMode) {
    DeviceConfig d = bootable(128);
    d.startInBootMode = true;
    startSim({d});
    CPgmComm pgm(0);
    ASSERT_TRUE(pgm.ConnectDirect(true, nullptr));
    EXPECT_EQ(pgm.FlashPageSize(), 128);
}

TEST_F(ProgrammingTest, RelayConnectionMarksAMissingInformationRecord) {
    DeviceConfig behind = bootable(128);
    behind.address = 7;
    behind.relayAddress = 3;
    DeviceConfig relay;
    relay.address = 3;
    startSim({relay, behind});
    sim().setMisbehaviour(Misbehaviour::Silent, 1, 7);  // the information request goes unanswered
    CPgmComm pgm(0);
    RP_GETINFO info {};
    ASSERT_TRUE(pgm.ConnectRelay(3, 7, &info));
    EXPECT_EQ(info.m_Data[RP_GETINFO::kAnswerByte], RP_GETINFO::kNoAnswer);
    EXPECT_TRUE(sim().inBootMode(7));
    Bytes page = randomBytes(128, 3);
    const Bytes copy = page;
    ASSERT_TRUE(pgm.WriteFlashPage(1, page.data()));
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), sim().flash(7).begin() + 128));
    pgm.Disconnect();
    EXPECT_TRUE(pgm.RelayPath().empty());
    EXPECT_FALSE(sim().inBootMode(7));
}

TEST_F(ProgrammingTest, DestroyingAConnectedObjectReturnsTheDeviceToWork) {
    startSim({bootable(128)});
    {
        CPgmComm idle(0);
    }
    EXPECT_FALSE(sim().waitForFrames(1, 50));
    {
        CPgmComm pgm(0);
        ASSERT_TRUE(pgm.ConnectDirect(false, nullptr));
        sim().clearReceived();
    }
    const auto frames = sim().received();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].address, 254);
    EXPECT_EQ(frames[0].command, 11);
    EXPECT_FALSE(sim().inBootMode());
}

TEST_F(ProgrammingTest, ARefusedWriteIsReported) {
    startSim({bootable(128)});
    CPgmComm pgm(0);
    ASSERT_TRUE(pgm.ConnectDirect(false, nullptr));
    sim().setMisbehaviour(Misbehaviour::AnswerZero, 1);
    EXPECT_FALSE(pgm.WriteEeprom(1, 2));
    EXPECT_NE(sim().eeprom()[1], 2);
}

}  // namespace
