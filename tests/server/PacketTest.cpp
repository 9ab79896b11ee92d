// Task packets, user.bin records, prog.bin and ostrel.conf: pure functions over bytes and text.
#include "ServerConfig.h"
#include "TaskPackets.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace ostrel;

namespace {

std::uint32_t u32At(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t u16At(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

TaskRow sampleTask(std::uint16_t type) {
    TaskRow t;
    t.id = 9;
    t.type = type;
    t.countMest = 300;
    t.nMesta = 12;
    t.nRec = 125;
    for (int i = 0; i < 64; ++i) t.words[i] = std::uint16_t(0x0101 * (i + 1));  // distinct in both bytes
    t.words[63] = 0x123E;
    t.balans = -150;
    return t;
}

}  // namespace

TEST(OstrelPackets, DeleteSlotPacketIsTypeCountAndSlot) {
    const auto p = buildTaskPacket(sampleTask(kTaskDeleteSlot));
    EXPECT_EQ(p, (std::vector<std::uint8_t>{0x02, 0x2C, 0x01, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00}));
}

TEST(OstrelPackets, SubscriberPacketLayout) {
    const TaskRow t = sampleTask(kTaskSubscriber);
    const auto p = buildTaskPacket(t);
    ASSERT_EQ(p.size(), 141u);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(u32At(&p[1]), 300u);
    EXPECT_EQ(u32At(&p[5]), 12u);
    EXPECT_EQ(u32At(&p[9]), 248u);  // 125 * 2 - 2
    for (int i = 0; i < 62; ++i) EXPECT_EQ(u16At(&p[13 + 2 * i]), t.words[i]) << "W" << i + 1;
    // The balance follows W62 directly: W63 and W64 are not sent.
    EXPECT_EQ((std::vector<std::uint8_t>(p.begin() + 137, p.end())), (std::vector<std::uint8_t>{0x6A, 0xFF, 0xFF, 0xFF}));
}

TEST(OstrelPackets, RecordValueWrapsIn32Bits) {
    struct Case { std::int32_t nRec; std::uint32_t record; };
    for (const Case c : {Case{1, 0u}, Case{0, 0xFFFFFFFEu}, Case{125, 248u}, Case{-1, 0xFFFFFFFCu}}) {
        TaskRow t = sampleTask(kTaskSubscriber);
        t.nRec = c.nRec;
        EXPECT_EQ(u32At(&buildTaskPacket(t)[9]), c.record) << "n_Rec " << c.nRec;
        EXPECT_EQ(u32At(buildUserRecord(t).data()), c.record) << "n_Rec " << c.nRec;
    }
}

TEST(OstrelPackets, ScramblingPacketAndProgFileCarryLowByteOfW64First) {
    const TaskRow t = sampleTask(kTaskScrambling);
    const auto p = buildTaskPacket(t);
    ASSERT_EQ(p.size(), 126u);
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[1], 0x3E);
    const ProgFile f = buildProgFile(t);
    EXPECT_EQ(f[0], 0x3E);
    for (int i = 0; i < 62; ++i) {
        EXPECT_EQ(u16At(&p[2 + 2 * i]), t.words[i]);
        EXPECT_EQ(u16At(&f[1 + 2 * i]), t.words[i]);
    }
}

TEST(OstrelPackets, OtherTypesHaveNoPacket) {
    for (std::uint16_t type : {0, 4, 65535}) EXPECT_TRUE(buildTaskPacket(sampleTask(type)).empty()) << type;
}

TEST(OstrelPackets, UserRecordLayoutAndOffsets) {
    const TaskRow t = sampleTask(kTaskSubscriber);
    const UserRecord r = buildUserRecord(t);
    EXPECT_EQ(u32At(&r[0]), 248u);
    EXPECT_EQ(u16At(&r[4]), t.words[0]);
    EXPECT_EQ(u16At(&r[126]), t.words[61]);
    EXPECT_EQ(u32At(&r[128]), 0xFFFFFF6Au);
    EXPECT_EQ(userRecordOffset(1), 4);
    EXPECT_EQ(userRecordOffset(3), 268);
    EXPECT_EQ(userFileLength(10), 1324);
}

namespace {

ConfigResult parse(const std::string& text) {
    std::istringstream in(text);
    return parseServerConfig(in);
}

}  // namespace

TEST(OstrelConfig, ReadsSixLinesAsAtoiDoes) {
    const ConfigResult r = parse("2\n1\n0\n0\n1\n5");  // the last line has no line break
    ASSERT_EQ(r.status, ConfigStatus::Ok);
    EXPECT_EQ(r.config.Port1, 1);
    EXPECT_EQ(r.config.Address1, 1);
    EXPECT_EQ(r.config.Port2, -1);
    EXPECT_EQ(r.config.Address2, 0);
    EXPECT_TRUE(r.config.deviceMode());
    EXPECT_EQ(r.config.PollMs, 5000);
}

TEST(OstrelConfig, LineValues) {
    struct Case { const char* text; int port1; int address1; int mode; int pollMs; };
    const Case cases[] = {
        {"1\n256\n0\n0\n1\n0\n", 0, 0, 1, 0},                 // address keeps its low 8 bits; poll without pause
        {"3\n257\n0\n0\n2\n1\n", 2, 1, 2, 1000},              // any mode but 1 is file mode
        {"COM1\nx\n0\n0\n\n  7 sec\n", -1, 0, 0, 7000},       // text reads as 0; blanks before digits skipped
        {"\xEF\xBB\xBF" "4\r\n5\r\n0\r\n0\r\n1\r\n2\r\n", 3, 5, 1, 2000},  // Windows line ends and byte-order mark
        {"1\n1\n1\n1\n1\n1\nextra\nlines\n", 0, 1, 1, 1000},   // lines after the sixth are ignored
        {"-5\n-1\n0\n0\n1\n-2\n", -6, 255, 1, -2000},
        {"1\n1\n0\n0\n1\n99999999999\n", 0, 1, 1, 2147483647},  // clamped, never overflowing
    };
    for (const Case& c : cases) {
        const ConfigResult r = parse(c.text);
        ASSERT_EQ(r.status, ConfigStatus::Ok) << c.text;
        EXPECT_EQ(r.config.Port1, c.port1) << c.text;
        EXPECT_EQ(r.config.Address1, c.address1) << c.text;
        EXPECT_EQ(r.config.Mode, c.mode) << c.text;
        EXPECT_EQ(r.config.PollMs, c.pollMs) << c.text;
    }
}

TEST(OstrelConfig, FewerThanSixLinesIsAReadError) {
    for (const char* text : {"", "2\n1\n0\n0\n1\n", "2\n1\n0\n0\n1"})
        EXPECT_EQ(parse(text).status, ConfigStatus::TooShort) << text;
    EXPECT_EQ(parse("2\n1\n0\n0\n1\n\n").status, ConfigStatus::Ok);  // an empty sixth line is a line
}

TEST(OstrelConfig, MissingFileCannotBeOpened) {
    const ConfigResult r = readServerConfig("/nonexistent/ostrel.conf");
    EXPECT_EQ(r.status, ConfigStatus::CannotOpen);
    EXPECT_FALSE(r.error.empty());
}
