// The worker in file mode against the test MariaDB: user.bin, prog.bin, the sender after a burst, and what
// happens when a file cannot be written.
#include "ServerTestSupport.h"
#include "TaskFiles.h"

#include <QFile>
#include <fstream>

using namespace ostrel;
using namespace ostrel::test;

namespace {

// File mode opens the links all the same; here there is no port behind them.
class NoPort : public TaskLink {
public:
    bool isOpen() const override { return false; }
    bool deliver(const std::uint8_t*, std::size_t) override { return false; }
};

TaskLinkFactory noPorts() {
    return [](int, std::uint8_t) { return std::make_unique<NoPort>(); };
}

class OstrelWorkerFile : public ServerDatabaseTest {
protected:
    std::unique_ptr<TaskWorker> startWorker() {
        auto w = std::make_unique<TaskWorker>(fileModeConfig(), state_, odbc_, host_, noPorts(), folder());
        EXPECT_TRUE(w->begin());
        return w;
    }
    std::filesystem::path userBin() const { return folder() / kUserFileName; }
    std::filesystem::path progBin() const { return folder() / kProgFileName; }

    // A sender that records each call's arguments and what user.bin held when it ran.
    void installRecordingSender() {
        const auto path = folder() / "Quorlin";
        std::ofstream(path) << "#!/bin/sh\necho \"$# $*\" >> calls.txt\nwc -c < user.bin >> calls.txt\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    QStringList senderCalls() const {
        QFile f(QString::fromStdString((folder() / "calls.txt").string()));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).trimmed().split(QLatin1Char('\n'));
    }
};

}  // namespace

TEST_F(OstrelWorkerFile, SubscriberRecordsLandAtTheirSlots) {
    auto worker = startWorker();
    queueTask({.nMesta = 1, .nRec = 125, .type = 1, .countMest = 10, .words = {{1, 0x1234}, {62, 0xBEEF}}, .balans = -150});
    EXPECT_EQ(drain(*worker), 1);
    auto bytes = readFile(userBin());
    ASSERT_EQ(bytes.size(), 1324u);
    EXPECT_EQ(u32At(bytes, 0), 10u);
    EXPECT_EQ(u32At(bytes, 4), 248u);  // R = 125 * 2 - 2
    EXPECT_EQ(bytes[8], 0x34);
    EXPECT_EQ(bytes[9], 0x12);
    EXPECT_EQ(bytes[130], 0xEF);  // W62
    EXPECT_EQ(bytes[131], 0xBE);
    EXPECT_EQ(u32At(bytes, 132), 0xFFFFFF6Au);

    queueTask({.nMesta = 3, .nRec = 7, .type = 1, .countMest = 12, .balans = 500});
    EXPECT_EQ(drain(*worker), 1);
    const auto after = readFile(userBin());
    ASSERT_EQ(after.size(), 12u * 132 + 4);
    EXPECT_EQ(u32At(after, 0), 12u);
    EXPECT_EQ(u32At(after, 268), 12u);
    EXPECT_EQ(u32At(after, 268 + 128), 500u);
    EXPECT_TRUE(std::equal(bytes.begin() + 4, bytes.begin() + 136, after.begin() + 4)) << "slot 1 must keep its record";

    EXPECT_EQ(queuedTaskCount(), 0);
    EXPECT_EQ(host_.traySteps, 2);
    EXPECT_TRUE(host_.messages().isEmpty());
}

TEST_F(OstrelWorkerFile, DeleteSlotZeroesExactlyItsRecord) {
    auto worker = startWorker();
    for (unsigned slot = 2; slot <= 4; ++slot)
        queueTask({.nMesta = slot, .nRec = slot, .type = 1, .countMest = 5, .words = {{1, 0xFFFF}}, .balans = -1});
    queueTask({.nMesta = 3, .nRec = 3, .type = 2, .countMest = 5});
    EXPECT_EQ(drain(*worker), 4);
    const auto bytes = readFile(userBin());
    ASSERT_EQ(bytes.size(), 5u * 132 + 4);
    const std::size_t slot3 = 268;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool inSlot3 = i >= slot3 && i < slot3 + 132;
        const bool inSlot2or4 = (i >= 136 && i < 268) || (i >= 400 && i < 532);
        if (inSlot3) {
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
        }
        if (inSlot2or4 && (i - 4) % 132 >= 4 && (i - 4) % 132 < 6) {
            ASSERT_EQ(bytes[i], 0xFF) << "W1 at " << i;
        }
    }
    EXPECT_EQ(u32At(bytes, 136), 2u);        // slot 2: R of n_Rec 2
    EXPECT_EQ(u32At(bytes, 400 + 128), 0xFFFFFFFFu);  // slot 4's balance survives
}

TEST_F(OstrelWorkerFile, ScramblingMapRewritesProgBin) {
    auto worker = startWorker();
    queueTask({.type = 3, .words = {{64, 62}, {1, 0x8001}, {63, 0x7777}}});
    queueTask({.type = 3, .words = {{64, 0x0140}, {2, 0x0002}}});
    ASSERT_EQ(worker->pass(), TaskWorker::Pass::Task);
    auto prog = readFile(progBin());
    ASSERT_EQ(prog.size(), 125u);
    EXPECT_EQ(prog[0], 0x3E);
    EXPECT_EQ(prog[1], 0x01);
    EXPECT_EQ(prog[2], 0x80);
    ASSERT_EQ(worker->pass(), TaskWorker::Pass::Task);
    prog = readFile(progBin());
    ASSERT_EQ(prog.size(), 125u);
    EXPECT_EQ(prog[0], 0x40);  // the low byte of W64 only
    EXPECT_EQ(prog[1], 0x00);  // rewritten whole: nothing of the first map remains
    EXPECT_EQ(prog[3], 0x02);
    EXPECT_EQ(readFile(userBin()).size(), 0u);
}

TEST_F(OstrelWorkerFile, SenderRunsOnceAfterTheBurstWithFinishedFiles) {
    installRecordingSender();
    auto worker = startWorker();
    for (unsigned slot = 1; slot <= 3; ++slot) queueTask({.nMesta = slot, .nRec = slot, .type = 1, .countMest = 3});
    for (int i = 0; i < 3; ++i) ASSERT_EQ(worker->pass(), TaskWorker::Pass::Task);
    EXPECT_TRUE(senderCalls().isEmpty()) << "not during the burst";
    EXPECT_EQ(worker->pass(), TaskWorker::Pass::Idle);
    EXPECT_EQ(senderCalls(), QStringList({QStringLiteral("1 /checkclose"), QString::number(3 * 132 + 4)}));
    EXPECT_EQ(worker->pass(), TaskWorker::Pass::Idle);
    EXPECT_EQ(senderCalls().size(), 2) << "an idle queue does not start the sender again";
    queueTask({.type = 3, .words = {{64, 1}}});
    EXPECT_EQ(drain(*worker), 1);
    EXPECT_EQ(senderCalls().size(), 4) << "the next burst runs it once more";
}

TEST_F(OstrelWorkerFile, WithoutSenderTheLoopGoesOn) {
    auto worker = startWorker();
    queueTask({.nMesta = 1, .nRec = 1, .type = 1, .countMest = 1});
    EXPECT_EQ(drain(*worker), 1);
    queueTask({.nMesta = 1, .nRec = 2, .type = 1, .countMest = 1});
    EXPECT_EQ(drain(*worker), 1);
    EXPECT_EQ(u32At(readFile(userBin()), 4), 2u);
    EXPECT_EQ(state_.SenderPending, 0);
}

TEST_F(OstrelWorkerFile, UnknownTypeIsDeletedWithoutEffect) {
    installRecordingSender();
    auto worker = startWorker();
    queueTask({.nMesta = 1, .nRec = 1, .type = 4, .countMest = 9, .words = {{64, 5}}});
    EXPECT_EQ(drain(*worker), 1);
    EXPECT_EQ(queuedTaskCount(), 0);
    EXPECT_EQ(host_.traySteps, 1);
    EXPECT_EQ(readFile(userBin()).size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(progBin()));
    EXPECT_TRUE(senderCalls().isEmpty());
}

TEST_F(OstrelWorkerFile, NullColumnsReadAsZero) {
    kavrin::test::exec(QStringLiteral("alter table zadaniya modify balans INT NULL, modify `64_1` SMALLINT UNSIGNED NULL"));
    kavrin::test::exec(QStringLiteral(
        "insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest,`64_1`,`64_2`,balans) values (1,3,1,1,NULL,9,NULL)"));
    auto worker = startWorker();
    EXPECT_EQ(drain(*worker), 1);
    const auto bytes = readFile(userBin());
    ASSERT_EQ(bytes.size(), 136u);
    EXPECT_EQ(u32At(bytes, 4), 4u);
    EXPECT_EQ(bytes[8], 0);
    EXPECT_EQ(bytes[10], 9);
    EXPECT_EQ(u32At(bytes, 132), 0u);
}

// A file that cannot be written keeps the task, tells the operator and ends the worker.
TEST_F(OstrelWorkerFile, UnwritableFilesKeepTheTask) {
    struct Case {
        const char* name;
        QueuedTask task;
        const char* blockedFile;
        const char* message;
    };
    const Case cases[] = {
        {"user.bin gone and replaced", {.nMesta = 1, .nRec = 1, .type = 1, .countMest = 1}, "user.bin",
         "Ошибка открытия файла user.bin: Is a directory. Задание оставлено в очереди и будет выполнено при следующем запуске."},
        {"prog.bin", {.type = 3, .words = {{64, 1}}}, "prog.bin",
         "Ошибка записи в файл prog.bin: Is a directory. Задание оставлено в очереди и будет выполнено при следующем запуске."},
        {"slot 0", {.nMesta = 0, .nRec = 1, .type = 2, .countMest = 1}, nullptr,
         "Ошибка записи в файл user.bin: неверный номер места 0. Задание оставлено в очереди и будет выполнено при следующем запуске."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kavrin::test::exec(QStringLiteral("delete from zadaniya"));
        std::filesystem::remove_all(userBin());
        std::filesystem::remove_all(progBin());
        ServerState state;
        RecordingHost host;
        TaskWorker worker(fileModeConfig(), state, odbc_, host, noPorts(), folder());
        ASSERT_TRUE(worker.begin());
        EXPECT_EQ(worker.pass(), TaskWorker::Pass::Idle);  // an idle pass closes user.bin, as after a burst
        if (c.blockedFile) {
            std::filesystem::remove(folder() / c.blockedFile);
            std::filesystem::create_directory(folder() / c.blockedFile);
        }
        queueTask(c.task);
        EXPECT_EQ(worker.pass(), TaskWorker::Pass::Fatal);
        EXPECT_EQ(host.messages(), QStringList(QString::fromUtf8(c.message)));
        EXPECT_EQ(host.shutdowns, 1);
        EXPECT_EQ(host.traySteps, 0);
        EXPECT_EQ(state.WorkerRunning, 0);
        EXPECT_EQ(queuedTaskCount(), 1);
    }
}

TEST_F(OstrelWorkerFile, UserBinThatCannotBeCreatedStopsAtStart) {
    std::filesystem::create_directory(userBin());
    TaskWorker worker(fileModeConfig(), state_, odbc_, host_, noPorts(), folder());
    EXPECT_FALSE(worker.begin());
    EXPECT_EQ(host_.messages(), QStringList(QStringLiteral("Ошибка открытия файла user.bin: Is a directory")));
    EXPECT_EQ(host_.shutdowns, 1);
    EXPECT_EQ(state_.WorkerRunning, 0);
}
