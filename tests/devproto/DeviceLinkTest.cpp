// The device link and device queries against the simulated head-end on a pseudo-terminal.
#include "CDvbComm.h"
#include "SimFixture.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;
using headend::DeviceConfig;
using headend::Misbehaviour;
using simtest::elapsedMs;

DeviceConfig device(std::uint8_t address, int behind = -1) {
    DeviceConfig c;
    c.address = address;
    c.relayAddress = behind;
    return c;
}

class DeviceLinkTest : public simtest::SimTest {};

TEST_F(DeviceLinkTest, RequestsGoOutAsWholeFramesThroughTheRelayPath) {
    startSim();
    CDvbComm link(0);
    ASSERT_TRUE(link.PortOk());
    EXPECT_TRUE(link.WritePack(5, 3, nullptr, 0));
    link.RelayThrough(0x10);
    link.RelayThrough(0x20);
    const unsigned char payload[] = {0xAA, 0xBB};
    EXPECT_TRUE(link.WritePack(5, 3, payload, 2));
    link.RelayThrough(-1);
    EXPECT_TRUE(link.WritePack(5, 3, nullptr, 0));
    ASSERT_TRUE(sim().waitForFrames(3, 1000));
    const auto frames = sim().received();
    EXPECT_EQ(frames[0].raw, (Bytes {0x71, 0x03, 0x05, 0x03, 0x7C}));
    EXPECT_EQ(frames[1].raw, (Bytes {0x71, 0x09, 0x20, 0x06, 0x10, 0x06, 0x05, 0x03, 0xAA, 0xBB, 0x23}));
    EXPECT_EQ(frames[1].relays, (Bytes {0x20, 0x10}));
    EXPECT_EQ(frames[2].raw, frames[0].raw);
}

TEST_F(DeviceLinkTest, ARequestTooLongForTheLengthByteIsNotSent) {
    startSim();
    CDvbComm link(0);
    link.RelayThrough(9);
    const Bytes payload(251, 0);
    EXPECT_FALSE(link.WritePack(1, 173, payload.data(), 251));
    EXPECT_TRUE(link.WritePack(1, 173, payload.data(), 250));
    ASSERT_TRUE(sim().waitForFrames(1, 1000));
    EXPECT_FALSE(sim().waitForFrames(2, 100));
    EXPECT_EQ(sim().received()[0].raw.size(), 257u);
}

TEST_F(DeviceLinkTest, NoReplyReturnsAfterTheTimeOutAndKeepsTheLength) {
    startSim();
    sim().setMisbehaviour(Misbehaviour::Silent);
    CDvbComm link(0);
    link.WritePack(1, 3, nullptr, 0);
    unsigned char buf[40];
    unsigned int length = 77;
    bool ok = true;
    const long long ms = elapsedMs([&] { ok = link.ReadPack(buf, sizeof buf, length, 300); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(length, 77u);
    EXPECT_GE(ms, 300);
    EXPECT_LT(ms, 400);

    CDvbComm closed(5);  // no COM6 here
    ASSERT_FALSE(closed.PortOk());
    EXPECT_FALSE(closed.WritePack(1, 3, nullptr, 0));
    const long long closedMs = elapsedMs([&] { ok = closed.ReadPack(buf, sizeof buf, length, 200); });
    EXPECT_FALSE(ok);
    EXPECT_GE(closedMs, 200);
    EXPECT_LT(closedMs, 300);
}

TEST_F(DeviceLinkTest, GetInfoFillsTheRecord) {
    DeviceConfig d = device(1);
    d.info.resize(40);
    std::iota(d.info.begin(), d.info.end(), 100);
    startSim({d});
    CDvbComm link(0);
    RP_GETINFO info {};
    ASSERT_TRUE(link.GetInfo(1, &info));
    EXPECT_TRUE(std::equal(d.info.begin(), d.info.end(), info.m_Data));
    EXPECT_FALSE(link.GetInfo(2, &info));  // nobody there
}

TEST_F(DeviceLinkTest, ATooLongReplyIsDrainedSoTheNextReplyIsRead) {
    DeviceConfig chatty = device(1);
    chatty.info.assign(60, 0x33);
    startSim({chatty, device(2)});
    CDvbComm link(0);
    link.WritePack(1, 3, nullptr, 0);
    unsigned char buf[40];
    unsigned int length = 0;
    EXPECT_FALSE(link.ReadPack(buf, sizeof buf, length, 500));
    EXPECT_EQ(length, 60u);

    RP_GETINFO info {};
    EXPECT_TRUE(link.GetInfo(2, &info));
    EXPECT_EQ(info.m_Data[0], 'h');  // the second device's own record, not the rest of the first reply
}

TEST_F(DeviceLinkTest, BadRepliesFailWithoutWaitingForMore) {
    startSim();
    CDvbComm link(0);
    const struct {
        Misbehaviour how;
        const char* name;
    } cases[] = {{Misbehaviour::CorruptCheck, "wrong check byte"}, {Misbehaviour::LengthZero, "length byte 0"}};
    for (const auto& c : cases) {
        sim().setMisbehaviour(c.how, 1);
        RP_GETINFO info {};
        bool ok = true;
        const long long ms = elapsedMs([&] { ok = link.GetInfo(1, &info); });
        EXPECT_FALSE(ok) << c.name;
        EXPECT_LT(ms, 200) << c.name;  // the time-out is 500 ms
        EXPECT_TRUE(link.GetInfo(1, &info)) << c.name << ": the link is usable again";
    }
}

TEST_F(DeviceLinkTest, ALateReplyIsNotTakenForTheAnswerToTheNextRequest) {
    startSim({device(1), device(2)});
    sim().setLateDelayMs(200);
    sim().setMisbehaviour(Misbehaviour::AnswerLate, 1, 1);
    CDvbComm link(0);
    RP_GETINFO info {};
    link.WritePack(1, 3, nullptr, 0);
    unsigned int length = 0;
    EXPECT_FALSE(link.ReadPack(info.m_Data, RP_GETINFO::kSize, length, 50));  // the caller gives up
    std::this_thread::sleep_for(std::chrono::milliseconds(300));             // then device 1 answers
    ASSERT_TRUE(link.GetInfo(2, &info));
    EXPECT_EQ(info.m_Data[32], 2);
}

TEST_F(DeviceLinkTest, RelaysReachDevicesBehindOthers) {
    startSim({device(3), device(7, 3)});
    CDvbComm link(0);
    RP_GETINFO info {};
    EXPECT_FALSE(link.GetInfo(7, &info));
    link.RelayThrough(3);
    EXPECT_TRUE(link.GetInfo(7, &info));
    EXPECT_EQ(info.m_Data[32], 7);  // the simulator puts the device's address there
    link.RelayThrough(-1);
    EXPECT_TRUE(link.GetInfo(3, &info));
    EXPECT_EQ(info.m_Data[32], 3);
}

TEST_F(DeviceLinkTest, ChangeAddrGivesTheDeviceItsNewAddress) {
    startSim();
    CDvbComm link(0);
    sim().setMisbehaviour(Misbehaviour::Silent, 2);  // the device hears the third request
    ASSERT_TRUE(link.ChangeAddr(1, 42));
    EXPECT_EQ(sim().currentAddress(1), 42);
    RP_GETINFO info {};
    EXPECT_TRUE(link.GetInfo(42, &info));
    EXPECT_FALSE(link.GetInfo(1, &info));
}

TEST_F(DeviceLinkTest, ChangeAddrGivesUpAfterTenSeconds) {
    startSim();
    sim().setMisbehaviour(Misbehaviour::Silent);
    CDvbComm link(0);
    bool ok = true;
    const long long ms = elapsedMs([&] { ok = link.ChangeAddr(1, 42); });
    EXPECT_FALSE(ok);
    EXPECT_GE(ms, 10000);
    EXPECT_LT(ms, 11500);
    const auto asked = sim().received().size();
    EXPECT_GE(asked, 19u);
    EXPECT_LE(asked, 21u);
}

TEST_F(DeviceLinkTest, GetStateReadsChipsAndPortsOverSeveralPages) {
    DeviceConfig d = device(1);
    d.chips.push_back({"DEMOD-1", 4, {}});
    d.chips.push_back({"SCRAMBLER-LONG-NAME", 6, {}});  // reported as its first 15 bytes
    for (int i = 0; i < 90; ++i) d.chips[0].ports.emplace_back(i, 255 - i);
    for (int i = 0; i < 10; ++i) d.chips[1].ports.emplace_back(i, i * 2);
    startSim({d});
    CDvbComm link(0);
    std::vector<CChip> chips;
    ASSERT_TRUE(link.GetState(1, chips));
    ASSERT_EQ(chips.size(), 2u);
    EXPECT_STREQ(chips[0].m_Name, "DEMOD-1");
    EXPECT_STREQ(chips[1].m_Name, "SCRAMBLER-LONG-");
    EXPECT_EQ(chips[1].m_Type, 6u);
    ASSERT_EQ(chips[0].m_PortCount, 90);
    ASSERT_EQ(chips[1].m_PortCount, 10);
    EXPECT_EQ(chips[0].m_Ports[89].m_Byte1, 89u);
    EXPECT_EQ(chips[0].m_Ports[89].m_Byte2, 166u);
    EXPECT_EQ(chips[1].m_Ports[9].m_Byte2, 18u);
    EXPECT_EQ(sim().received().size(), 3u);  // pages 0, 1 and 2
}

}  // namespace
