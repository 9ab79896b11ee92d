// The worker in device mode: MariaDB through ODBC on one side, the head-end simulator on a pseudo-terminal
// on the other, the real CTaskLink between them.
#include "CTaskLink.h"
#include "HeadendSimulator.h"
#include "ServerTestSupport.h"

#include <unistd.h>

using namespace ostrel;
using namespace ostrel::test;

namespace {

constexpr std::uint8_t kDeviceAddress = 5;

class OstrelWorkerDevice : public ServerDatabaseTest {
protected:
    void SetUp() override {
        ServerDatabaseTest::SetUp();
        // The port library finds COM1 in the working directory.
        previousDir_ = std::filesystem::current_path();
        std::filesystem::current_path(folder());
        headend::Simulator::Options options;
        options.directory = folder();
        options.comNumber = 1;
        headend::DeviceConfig device;
        device.address = kDeviceAddress;
        options.devices = {device};
        sim_ = std::make_unique<headend::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim_->start(&error)) << error;
    }
    void TearDown() override {
        worker_.reset();
        sim_.reset();
        std::filesystem::current_path(previousDir_);
    }

    ServerConfig deviceConfig() const {
        ServerConfig c;
        c.Mode = 1;
        c.Port1 = sim_->portIndex();
        c.Address1 = kDeviceAddress;
        c.Port2 = -1;
        c.PollMs = 0;
        return c;
    }
    TaskWorker& startWorker() {
        worker_ = std::make_unique<TaskWorker>(deviceConfig(), state_, odbc_, host_, serialLinkFactory(), folder());
        EXPECT_TRUE(worker_->begin());
        return *worker_;
    }

    std::filesystem::path previousDir_;
    std::unique_ptr<headend::Simulator> sim_;
    std::unique_ptr<TaskWorker> worker_;
};

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) {
    return std::vector<std::uint8_t>(list.begin(), list.end());
}

}  // namespace

TEST_F(OstrelWorkerDevice, TasksGoInIdOrderEachDeletedBeforeTheNext) {
    queueTask({.id = 7, .nMesta = 3, .nRec = 70, .type = 1, .countMest = 3});
    queueTask({.id = 3, .nMesta = 1, .nRec = 30, .type = 1, .countMest = 3});
    queueTask({.id = 5, .nMesta = 2, .nRec = 50, .type = 1, .countMest = 3});
    TaskWorker& worker = startWorker();
    const std::vector<std::vector<int>> remaining = {{5, 7}, {7}, {}};
    for (std::size_t i = 0; i < remaining.size(); ++i) {
        ASSERT_EQ(worker.pass(), TaskWorker::Pass::Task);
        EXPECT_EQ(queuedTaskIds(), remaining[i]);
        EXPECT_EQ(sim_->received().size(), i + 1);
    }
    EXPECT_EQ(worker.pass(), TaskWorker::Pass::Idle);
    std::vector<std::int32_t> records;
    for (const auto& packet : sim_->state().taskPackets) records.push_back(packet[9] | packet[10] << 8);
    EXPECT_EQ(records, (std::vector<std::int32_t>{58, 98, 138}));  // n_Rec 30, 50, 70
    EXPECT_EQ(host_.traySteps, 3);
}

TEST_F(OstrelWorkerDevice, DeleteSlotPacketGoesToTheConfiguredAddress) {
    queueTask({.nMesta = 12, .nRec = 99, .type = 2, .countMest = 300, .words = {{1, 7}}, .balans = 55});
    TaskWorker& worker = startWorker();
    EXPECT_EQ(drain(worker), 1);
    const auto frames = sim_->received();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].address, kDeviceAddress);
    EXPECT_EQ(frames[0].command, 0xAD);
    EXPECT_TRUE(frames[0].checkOk);
    EXPECT_EQ(frames[0].payload, bytes({0x02, 0x2C, 0x01, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00}));
    EXPECT_EQ(queuedTaskCount(), 0);
}

TEST_F(OstrelWorkerDevice, SubscriberRecordReachesTheSlotTable) {
    std::map<int, unsigned> words;
    for (int w = 1; w <= 64; ++w) words[w] = 0x100 * w + w;
    queueTask({.nMesta = 1, .nRec = 1, .type = 1, .countMest = 2, .words = words, .balans = 1000});
    queueTask({.nMesta = 2, .nRec = 0, .type = 1, .countMest = 2, .balans = -150});
    TaskWorker& worker = startWorker();
    EXPECT_EQ(drain(worker), 2);
    const auto slots = sim_->slots();
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(sim_->slotCount(), 2);
    EXPECT_EQ(slots.at(1).record, 0);  // n_Rec 1
    EXPECT_EQ(slots.at(1).balance, 1000);
    for (int w = 0; w < 62; ++w) EXPECT_EQ(slots.at(1).words[w], words[w + 1]) << "W" << w + 1;
    EXPECT_EQ(slots.at(2).record, -2);  // n_Rec 0
    const auto packet = sim_->state().taskPackets.at(1);
    EXPECT_EQ(std::vector<std::uint8_t>(packet.begin() + 137, packet.end()), bytes({0x6A, 0xFF, 0xFF, 0xFF}));
}

TEST_F(OstrelWorkerDevice, ScramblingMapAndUnknownType) {
    queueTask({.type = 4, .words = {{64, 1}}});
    queueTask({.type = 3, .words = {{64, 0x013E}, {62, 0xA5A5}}});
    TaskWorker& worker = startWorker();
    EXPECT_EQ(drain(worker), 2);
    ASSERT_EQ(sim_->received().size(), 1u) << "type 4 sends nothing";
    const auto map = sim_->scramblingMap();
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->streams, 0x3E);
    EXPECT_EQ(map->words[61], 0xA5A5);
    EXPECT_EQ(host_.traySteps, 2);
    EXPECT_EQ(queuedTaskCount(), 0);
}

// Whatever way the device fails, the task is tried three times, then kept, and the program ends.
TEST_F(OstrelWorkerDevice, RefusedTaskIsTriedThreeTimesAndKept) {
    using headend::Misbehaviour;
    for (Misbehaviour how : {Misbehaviour::AnswerZero, Misbehaviour::Silent, Misbehaviour::CorruptCheck,
                             Misbehaviour::LengthZero}) {
        SCOPED_TRACE(static_cast<int>(how));
        kavrin::test::exec(QStringLiteral("delete from zadaniya"));
        sim_->clearReceived();
        sim_->setMisbehaviour(how);
        queueTask({.nMesta = 1, .nRec = 4, .type = 1, .countMest = 1});
        ServerState state;
        RecordingHost host;
        TaskWorker worker(deviceConfig(), state, odbc_, host, serialLinkFactory(), folder());
        ASSERT_TRUE(worker.begin());
        EXPECT_EQ(worker.pass(), TaskWorker::Pass::Fatal);
        EXPECT_EQ(sim_->received().size(), 3u);
        EXPECT_EQ(host.messages(), QStringList(messages::kSendError));
        EXPECT_EQ(host.shutdowns, 1);
        EXPECT_EQ(host.traySteps, 0);
        EXPECT_EQ(state.WorkerRunning, 0);
        EXPECT_EQ(queuedTaskCount(), 1);
    }
}

TEST_F(OstrelWorkerDevice, SecondOrThirdTryIsEnough) {
    sim_->setMisbehaviour(headend::Misbehaviour::AnswerZero, 2);
    queueTask({.nMesta = 1, .nRec = 4, .type = 1, .countMest = 1});
    TaskWorker& worker = startWorker();
    EXPECT_EQ(drain(worker), 1);
    EXPECT_EQ(sim_->received().size(), 3u);
    EXPECT_EQ(sim_->slots().at(1).record, 6);
    EXPECT_EQ(queuedTaskCount(), 0);
    EXPECT_TRUE(host_.messages().isEmpty());
}

TEST_F(OstrelWorkerDevice, PortThatDoesNotOpenEndsTheProgram) {
    ServerConfig c = deviceConfig();
    c.Port1 = 7;  // no COM8 here and no such serial device
    queueTask({.nMesta = 1, .nRec = 4, .type = 1, .countMest = 1});
    TaskWorker worker(c, state_, odbc_, host_, serialLinkFactory(), folder());
    EXPECT_FALSE(worker.begin());
    EXPECT_EQ(host_.messages(), QStringList(QStringLiteral("Ошибка открытия порта")));
    EXPECT_EQ(host_.shutdowns, 1);
    EXPECT_EQ(queuedTaskCount(), 1);
}

TEST_F(OstrelWorkerDevice, EmptyQueueTouchesNothing) {
    TaskWorker& worker = startWorker();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(worker.pass(), TaskWorker::Pass::Idle);
    EXPECT_TRUE(sim_->received().empty());
    EXPECT_FALSE(std::filesystem::exists(folder() / "user.bin"));
    EXPECT_EQ(host_.traySteps, 0);
}
