// The scrambling map from the channel table editor's button to the head-end: Ostrel's worker turns the
// queued map into the device packet (device mode, against the simulated head-end) and into prog.bin (file mode).
#include "CTaskLink.h"
#include "HeadendSimulator.h"
#include "ServerTestSupport.h"
#include "TaskFiles.h"
#include "catalogue/ChannelTable.h"
#include "data/ClientDataSet.h"
#include "support/ScriptedDialogs.h"

// Qt's keyword macro would swallow the simulator's slots().
#undef slots

using namespace ostrel;
using namespace ostrel::test;

namespace {

class ScramblingMapRoad : public ServerDatabaseTest {
protected:
    void SetUp() override {
        ServerDatabaseTest::SetUp();
        // The serial link opens COM<n> in the working folder, where the simulator makes it.
        previousDir_ = std::filesystem::current_path();
        std::filesystem::current_path(folder());
        kavrin::test::exec("insert into kanals (NStream, kod_0, kod_2) values (1, 1, 1)");
        kavrin::test::exec("insert into kanals (NStream, kod_14) values (2, 1)");
        kavrin::test::exec("insert into kanals (NStream, kod_1, kod_15) values (5, 1, 1)");
        kavrin::test::exec("insert into svobodnie_mesta values (1, 1, 10), (2, 0, 11)");
        channels_.open();
        kavrin::ChannelTable table(channels_);
        table.encode();  // "Закодировать"
        ASSERT_EQ(queuedTaskCount(), 1);
    }

    void TearDown() override {
        std::filesystem::current_path(previousDir_);
        ServerDatabaseTest::TearDown();
    }

    void runWorker(const ServerConfig& config, TaskLinkFactory links) {
        TaskWorker worker(config, state_, odbc_, host_, std::move(links), folder());
        ASSERT_TRUE(worker.begin());
        drain(worker);
        worker.end();
        EXPECT_EQ(queuedTaskCount(), 0);
        EXPECT_TRUE(host_.messages().isEmpty()) << host_.messages().join('\n').toStdString();
    }

    // The map as the head-end receives it: streams 1, 2 and 5, word 64 = 5.
    static std::array<std::uint16_t, 62> expectedWords() {
        std::array<std::uint16_t, 62> w{};
        w[0] = 0x0005;
        w[1] = 0x4000;
        w[4] = 0x0002;
        return w;
    }

    std::filesystem::path previousDir_;
    kavrin::test::ScriptedDialogs dialogs_;
    kavrin::ClientDataSet channels_{QStringLiteral("select * from kanals")};
};

}  // namespace

TEST_F(ScramblingMapRoad, DeviceModeSendsThe126BytePacket) {
    headend::Simulator::Options options;
    options.directory = folder();
    headend::Simulator sim(options);
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    ServerConfig config;
    config.Mode = 1;
    config.Port1 = sim.portIndex();
    config.Address1 = 1;

    runWorker(config, serialLinkFactory());

    const auto packets = sim.state().taskPackets;
    ASSERT_EQ(packets.size(), 1u);
    const std::vector<std::uint8_t>& p = packets[0];
    ASSERT_EQ(p.size(), 126u);
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[1], 5);
    EXPECT_EQ(p[2], 0x05);  // W1, low byte first
    EXPECT_EQ(p[3], 0x00);
    EXPECT_EQ(p[5], 0x40);  // W2 high byte
    const auto map = sim.scramblingMap();
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->streams, 5);
    EXPECT_EQ(map->words, expectedWords());
}

TEST_F(ScramblingMapRoad, FileModeWritesProgBin) {
    runWorker(fileModeConfig(), [](int, std::uint8_t) -> std::unique_ptr<TaskLink> {
        struct NoPort : TaskLink {
            bool isOpen() const override { return false; }
            bool deliver(const std::uint8_t*, std::size_t) override { return false; }
        };
        return std::make_unique<NoPort>();
    });

    const auto bytes = readFile(folder() / kProgFileName);
    ASSERT_EQ(bytes.size(), 125u);
    EXPECT_EQ(bytes[0], 5);
    std::array<std::uint16_t, 62> words{};
    for (int w = 0; w < 62; ++w) words[w] = std::uint16_t(bytes[1 + 2 * w] | bytes[2 + 2 * w] << 8);
    EXPECT_EQ(words, expectedWords());
}
