// The simulated head-end as the task server meets it: task packets kept as head-end state, misbehaviour
// on request, pacing, the JSON dump, and the headend-sim program itself.
#include "CDvbComm.h"
#include "SimFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>
#include <sys/wait.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using headend::Misbehaviour;
using simtest::elapsedMs;

void put32(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}
void putWords(Bytes& b, std::uint16_t first) {
    for (int i = 0; i < 62; ++i) {
        const std::uint16_t w = static_cast<std::uint16_t>(first + i);
        b.push_back(static_cast<std::uint8_t>(w));
        b.push_back(static_cast<std::uint8_t>(w >> 8));
    }
}
Bytes type1(std::int32_t count, std::int32_t slot, std::int32_t record, std::uint16_t firstWord, std::int32_t balance) {
    Bytes b {1};
    put32(b, count);
    put32(b, slot);
    put32(b, record);
    putWords(b, firstWord);
    put32(b, balance);
    return b;
}
Bytes type2(std::int32_t count, std::int32_t slot) {
    Bytes b {2};
    put32(b, count);
    put32(b, slot);
    return b;
}
Bytes type3(std::uint8_t streams, std::uint16_t firstWord) {
    Bytes b {3, streams};
    putWords(b, firstWord);
    return b;
}

// What the task server does with one packet: command 173, then a one-byte answer within the time-out.
int sendTask(CDvbComm& link, const Bytes& packet, int timeoutMs = 2000) {
    link.WritePack(1, 173, packet.data(), static_cast<unsigned>(packet.size()));
    unsigned char answer = 0;
    unsigned int length = 0;
    if (!link.ReadPack(&answer, 1, length, timeoutMs) || length != 1) return -1;
    return answer;
}

// A link whose receive queue the test can empty.
struct FlushableLink : CDvbComm {
    using CDvbComm::CDvbComm;
    using CComPort::Flush;
};

class SimulatorTest : public simtest::SimTest {};

TEST_F(SimulatorTest, TaskPacketsBecomeTheHeadEndState) {
    startSim();
    CDvbComm link(0);
    ASSERT_EQ(sendTask(link, type1(10, 3, 4, 0x100, -150)), 1);
    ASSERT_EQ(sendTask(link, type1(10, 1, 0, 0x200, 500)), 1);
    ASSERT_EQ(sendTask(link, type3(62, 0x8000)), 1);

    auto state = sim().state();
    EXPECT_EQ(state.slotCount, 10);
    ASSERT_EQ(state.slots.size(), 2u);
    const headend::SlotRecord& third = state.slots.at(3);
    EXPECT_EQ(third.record, 4);
    EXPECT_EQ(third.balance, -150);
    EXPECT_EQ(third.words[0], 0x100);
    EXPECT_EQ(third.words[61], 0x100 + 61);
    ASSERT_TRUE(state.scramblingMap);
    EXPECT_EQ(state.scramblingMap->streams, 62);
    EXPECT_EQ(state.scramblingMap->words[1], 0x8001);
    EXPECT_EQ(state.taskPackets.size(), 3u);

    // A slot delete leaves a zero record; a smaller slot count drops the slots above it.
    ASSERT_EQ(sendTask(link, type2(10, 3)), 1);
    EXPECT_EQ(sim().slots().at(3), headend::SlotRecord {});
    ASSERT_EQ(sendTask(link, type2(2, 2)), 1);
    state = sim().state();
    EXPECT_EQ(state.slotCount, 2);
    EXPECT_EQ(state.slots.count(3), 0u);
    EXPECT_EQ(state.slots.at(1).balance, 500);
}

TEST_F(SimulatorTest, MalformedTaskPacketsAreRefused) {
    startSim();
    CDvbComm link(0);
    Bytes shortType1 = type1(10, 1, 0, 0, 0);
    shortType1.pop_back();
    const struct {
        const char* name;
        Bytes packet;
    } cases[] = {{"type 1 one byte short", shortType1},
                 {"type 2 of type 1's length", [] { Bytes b = type1(10, 1, 0, 0, 0); b[0] = 2; return b; }()},
                 {"slot beyond the count", type1(2, 3, 0, 0, 0)},
                 {"slot 0", type2(5, 0)},
                 {"unknown type", Bytes {4, 0, 0}},
                 {"empty", Bytes {}}};
    for (const auto& c : cases) EXPECT_EQ(sendTask(link, c.packet), 0) << c.name;
    EXPECT_TRUE(sim().state().taskPackets.empty());
    EXPECT_EQ(sim().slotCount(), 0);
}

TEST_F(SimulatorTest, MisbehavioursAsTheSenderSeesThem) {
    startSim();
    sim().setLateDelayMs(300);
    FlushableLink link(0);
    const struct {
        Misbehaviour how;
        int answer;   // what the sender gets with a 150 ms time-out
        bool stored;  // whether the head-end kept the packet
    } cases[] = {
        {Misbehaviour::None, 1, true},         {Misbehaviour::AnswerZero, 0, false},
        {Misbehaviour::AnswerLate, -1, true},  {Misbehaviour::CorruptCheck, -1, true},
        {Misbehaviour::Silent, -1, false},     {Misbehaviour::LengthZero, -1, false},
    };
    int slot = 0;
    for (const auto& c : cases) {
        ++slot;
        sim().setMisbehaviour(c.how, 1);
        EXPECT_EQ(sendTask(link, type1(10, slot, slot, 0, 0), 150), c.answer) << static_cast<int>(c.how);
        std::this_thread::sleep_for(std::chrono::milliseconds(c.how == Misbehaviour::AnswerLate ? 400 : 0));
        link.Flush();  // a late answer must not be taken for the next one
        EXPECT_EQ(sim().slots().count(slot), c.stored ? 1u : 0u) << static_cast<int>(c.how);
        EXPECT_EQ(sendTask(link, type2(10, 10)), 1) << "after " << static_cast<int>(c.how) << " the device behaves";
    }
}

TEST_F(SimulatorTest, MisbehaviourCanBeAimedAtOneDevice) {
    headend::DeviceConfig second;
    second.address = 2;
    startSim({headend::DeviceConfig {}, second});
    sim().setMisbehaviour(Misbehaviour::Silent, -1, 2);
    CDvbComm link(0);
    RP_GETINFO info {};
    EXPECT_TRUE(link.GetInfo(1, &info));
    EXPECT_FALSE(link.GetInfo(2, &info));
    sim().setMisbehaviour(Misbehaviour::None);
    EXPECT_TRUE(link.GetInfo(2, &info));
}

TEST_F(SimulatorTest, PacedRepliesTakeTheLineTimeOfTheFrame) {
    startSim();
    sim().setPaced(true);
    CDvbComm link(0);
    const Bytes packet = type1(10, 1, 0, 0, 0);
    int answer = -1;
    // 145 request bytes and 3 reply bytes at 38,400 bit/s take 38.5 ms on a real line.
    const long long ms = elapsedMs([&] { answer = sendTask(link, packet); });
    EXPECT_EQ(answer, 1);
    EXPECT_GE(ms, 38);
}

TEST_F(SimulatorTest, StateDumpsAsJson) {
    startSim();
    CDvbComm link(0);
    ASSERT_EQ(sendTask(link, type1(4, 2, 6, 0, -1)), 1);
    const std::string json = sim().stateJson();
    EXPECT_NE(json.find("\"slotCount\":4"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"slot\":2,\"record\":6,\"balance\":-1,\"words\":[0,1,2,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"scramblingMap\":null"), std::string::npos) << json;
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.back(), '}');
}

TEST_F(SimulatorTest, StopRemovesTheLinkAndAStaleLinkIsReplaced) {
    const auto link = m_Dir.path() / "COM1";
    std::filesystem::create_symlink("/nonexistent", link);
    startSim();
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim().terminalPath());
    sim().stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

    std::FILE* f = std::fopen(link.c_str(), "w");
    std::fclose(f);
    headend::Simulator::Options options;
    options.directory = m_Dir.path();
    headend::Simulator other(options);
    std::string error;
    EXPECT_FALSE(other.start(&error));
    EXPECT_NE(error.find("not a link"), std::string::npos) << error;
}

// Runs the program with arguments; returns its exit status and what it printed.
struct ProgramRun {
    int status;
    std::string out;
};
ProgramRun runProgram(const std::string& args) {
    std::FILE* p = ::popen((std::string(HEADEND_SIM_PROGRAM) + " " + args + " 2>&1").c_str(), "r");
    std::string out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(HeadendSimProgram, HelpAndBadOptions) {
    const ProgramRun help = runProgram("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: headend-sim"), std::string::npos);
    EXPECT_NE(help.out.find("--misbehave"), std::string::npos);

    for (const char* bad : {"--bogus", "--address 0", "--address 254", "--port x", "--misbehave sometimes", "--dir"}) {
        const ProgramRun r = runProgram(bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.out.find("Try 'headend-sim --help'"), std::string::npos) << bad;
    }
}

TEST(HeadendSimProgram, ServesALinkUntilStoppedThenPrintsTheState) {
    simtest::TempWorkDir dir;
    const std::string out = (dir.path() / "out.txt").string();
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::freopen(out.c_str(), "w", stdout);
        ::execl(HEADEND_SIM_PROGRAM, "headend-sim", "-d", dir.path().c_str(), "-p", "2", "-a", "5", "--state",
                "state.json", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 200 && !std::filesystem::exists(dir.path() / "COM2"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        CDvbComm link(1);
        ASSERT_TRUE(link.PortOk());
        link.WritePack(5, 173, type2(7, 7).data(), 9);
        unsigned char answer = 0;
        unsigned int length = 0;
        EXPECT_TRUE(link.ReadPack(&answer, 1, length, 2000));
        EXPECT_EQ(answer, 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the program refreshes its state file
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.path() / "COM2")));

    std::ifstream printed(out), file(dir.path() / "state.json");
    const std::string text((std::istreambuf_iterator<char>(printed)), {});
    const std::string saved((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("(port index 1)"), std::string::npos) << text;
    EXPECT_NE(text.find("\"slotCount\":7"), std::string::npos) << text;
    EXPECT_NE(saved.find("\"slotCount\":7"), std::string::npos) << saved;
}

}  // namespace
