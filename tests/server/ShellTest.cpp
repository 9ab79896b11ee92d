// The program around the worker: Start and its failures, the tray icon, and the shutdown sequence from the
// Exit button, the tray's EXIT and the dialog's own close; then the real Ostrel process stopped by SIGTERM.
#include "CServerDlg.h"
#include "Icons.h"
#include "ServerShell.h"
#include "ServerTestSupport.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <csignal>
#include <fstream>

using namespace ostrel;
using namespace ostrel::test;

namespace {

class NoPort : public TaskLink {
public:
    bool isOpen() const override { return false; }
    bool deliver(const std::uint8_t*, std::size_t) override { return false; }
};

template <typename Pred>
bool waitFor(Pred done, int timeoutMs = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class OstrelShell : public ServerDatabaseTest {
protected:
    void SetUp() override {
        ServerDatabaseTest::SetUp();
        shell_.reset();
        dialog_.reset();
        exits_ = 0;
        dialog_ = std::make_unique<CServerDlg>();
        shell_ = std::make_unique<ServerShell>(
            *dialog_, folder(), [](int, std::uint8_t) { return std::make_unique<NoPort>(); },
            [this](int status) {
                exitStatus_ = status;
                ++exits_;
            });
        dialog_->setPassword(kavrin::test::testDbParams().password);
        dialog_->show();
    }
    void TearDown() override {
        shell_.reset();
        dialog_.reset();
    }
    void writeConfig(const std::string& text) { std::ofstream(folder() / "ostrel.conf") << text; }

    kavrin::test::ScriptedDialogs dialogs_;
    std::unique_ptr<CServerDlg> dialog_;
    std::unique_ptr<ServerShell> shell_;
    int exitStatus_ = -1;
    int exits_ = 0;
};

}  // namespace

TEST_F(OstrelShell, DialogAsTheOperatorFindsIt) {
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Ostrel_v1.5"));
    EXPECT_EQ(dialog_->login(), QStringLiteral("root"));
    EXPECT_EQ(dialog_->startButton()->text(), QStringLiteral("Start Ostrel"));
    EXPECT_TRUE(dialog_->startButton()->isDefault());
    EXPECT_EQ(dialog_->exitButton()->text(), QStringLiteral("Exit"));
    ASSERT_EQ(shell_->trayMenu()->actions().size(), 1);
    EXPECT_EQ(shell_->trayMenu()->actions().at(0)->text(), QStringLiteral("EXIT"));
}

TEST_F(OstrelShell, ExitBeforeStartEndsAtOnce) {
    dialog_->exitButton()->click();
    EXPECT_EQ(exits_, 1);
    EXPECT_EQ(exitStatus_, 0);
    EXPECT_FALSE(shell_->connected());
    EXPECT_FALSE(shell_->workerStarted());
    EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(OstrelShell, MissingConfigurationLeavesTheDialogForAnotherTry) {
    dialog_->startButton()->click();
    ASSERT_EQ(dialogs_.messages().size(), 1);
    EXPECT_TRUE(dialogs_.messages().at(0).startsWith(QStringLiteral("Не удаётся открыть файл "))) << dialogs_.messages().at(0).toStdString();
    EXPECT_EQ(exits_, 0);
    EXPECT_FALSE(shell_->connected());

    writeConfig("0\n0\n0\n0\n0\n0\n");
    dialog_->startButton()->click();
    EXPECT_TRUE(shell_->connected());
    EXPECT_TRUE(shell_->workerStarted());
    dialog_->exitButton()->click();
    ASSERT_TRUE(waitFor([&] { return exits_ == 1; }));
    EXPECT_FALSE(shell_->connected());
}

TEST_F(OstrelShell, FatalStartProblemsEndTheProgram) {
    struct Case { const char* config; const char* password; QString message; };
    const Case cases[] = {
        {"2\n1\n0\n0\n1\n", nullptr, messages::kConfigReadError},
        {"0\n0\n0\n0\n0\n5", "wrong password", messages::kConnectError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        SetUp();
        writeConfig(c.config);
        if (c.password) dialog_->setPassword(QString::fromUtf8(c.password));
        dialog_->startButton()->click();
        EXPECT_EQ(dialogs_.messages(), QStringList(c.message));
        EXPECT_EQ(exits_, 1);
        EXPECT_EQ(exitStatus_, 0);
        EXPECT_FALSE(shell_->connected());
        EXPECT_FALSE(shell_->workerStarted());
        dialogs_.clear();
        TearDown();
    }
}

TEST_F(OstrelShell, TrayIconStepsWithEachTaskAndItsExitEndsCleanly) {
    writeConfig("0\n0\n0\n0\n0\n1\n");
    for (unsigned slot = 1; slot <= 5; ++slot) queueTask({.nMesta = slot, .nRec = slot, .type = 1, .countMest = 5});
    shell_->setTrayAvailable(true);
    dialog_->startButton()->click();
    ASSERT_TRUE(shell_->trayShown());
    EXPECT_FALSE(dialog_->isVisible()) << "the tray icon stands for the program";
    ASSERT_TRUE(waitFor([&] { return queuedTaskCount() == 0 && shell_->trayIconId() == kTrayIconC; }))
        << "icon " << shell_->trayIconId();
    // Five steps from the resting icon: 133, 131, 134, 132, 133.
    EXPECT_EQ(shell_->iconPhase(), 2);

    shell_->trayMenu()->actions().at(0)->trigger();
    ASSERT_TRUE(waitFor([&] { return exits_ == 1; }));
    EXPECT_EQ(exitStatus_, 0);
    EXPECT_FALSE(shell_->trayShown());
    EXPECT_FALSE(shell_->connected());
    EXPECT_EQ(readFile(folder() / "user.bin").size(), 5u * 132 + 4);
    EXPECT_TRUE(dialogs_.messages().isEmpty());
}

TEST_F(OstrelShell, WithoutTrayTheDialogStaysMinimisedAndItsCloseShutsDown) {
    writeConfig("0\n0\n0\n0\n0\n0\n");
    shell_->setTrayAvailable(false);
    dialog_->startButton()->click();
    ASSERT_TRUE(shell_->workerStarted());
    EXPECT_TRUE(dialog_->isMinimized());
    EXPECT_FALSE(dialog_->startButton()->isEnabled()) << "a second worker must never start";
    dialog_->reject();  // the close box or Escape
    ASSERT_TRUE(waitFor([&] { return exits_ == 1; }));
    EXPECT_FALSE(shell_->connected());
}

TEST_F(OstrelShell, WorkerFailureIsShownThenTheProgramEnds) {
    writeConfig("0\n0\n0\n0\n1\n0\n");  // device mode on a port that does not exist
    dialog_->startButton()->click();
    ASSERT_TRUE(waitFor([&] { return exits_ == 1; }));
    EXPECT_EQ(dialogs_.messages(), QStringList(messages::kPortOpenError));
    EXPECT_FALSE(shell_->connected());
}

namespace {

// Whether the process has its SIGTERM handler in place (the caught-signals mask in /proc).
bool catchesSigterm(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

class OstrelProcess : public ServerDatabaseTest {
protected:
    // Ostrel in the test folder, pressing Start at once with the password on its standard input.
    void startOstrel(const std::string& config) {
        std::ofstream(folder() / "ostrel.conf") << config;
        process_.setProgram(QStringLiteral(OSTREL_PROGRAM));
        process_.setArguments({QStringLiteral("--start")});
        process_.setWorkingDirectory(dir_.path());
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        ASSERT_TRUE(process_.waitForStarted());
        process_.write((kavrin::test::testDbParams().password + QLatin1Char('\n')).toUtf8());
        process_.closeWriteChannel();
    }
    void stopAndExpectCleanExit() {
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        ASSERT_TRUE(process_.waitForFinished(15000));
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process_.exitCode(), 0);
    }
    QProcess process_;
};

}  // namespace

TEST_F(OstrelProcess, SigtermDuringABurstLeavesEveryTaskDoneOrKept) {
    constexpr int kTasks = 3000;
    QString values;
    for (int slot = 1; slot <= kTasks; ++slot)
        values += QStringLiteral("%1(%2,%2,1,%3,%2)").arg(slot > 1 ? QStringLiteral(",") : QString()).arg(slot).arg(kTasks);
    kavrin::test::exec(QStringLiteral("insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest,balans) values ") + values);
    startOstrel("0\n0\n0\n0\n0\n1\n");
    ASSERT_TRUE(waitFor([] { return queuedTaskCount() < kTasks - 50; }, 30000)) << "Ostrel did not start working";
    stopAndExpectCleanExit();

    const int left = queuedTaskCount();
    ASSERT_GT(left, 0) << "the burst ended before the signal; nothing was interrupted";
    const std::vector<int> ids = queuedTaskIds();
    const int firstKept = ids.front();
    EXPECT_EQ(ids.back() - firstKept + 1, left) << "tasks are taken strictly in id order";
    const auto bytes = readFile(folder() / "user.bin");
    ASSERT_EQ(bytes.size(), std::size_t(kTasks) * 132 + 4);
    // Slot s came from the task with id s' = s + offset; done tasks are written whole, kept ones not at all.
    const int offset = kavrin::test::scalar(QStringLiteral("select min(id) - min(n_mesta) from zadaniya")).toInt();
    for (int slot = 1; slot <= kTasks; ++slot) {
        const std::size_t at = 4 + std::size_t(slot - 1) * 132;
        const bool done = slot + offset < firstKept;
        ASSERT_EQ(u32At(bytes, at), done ? std::uint32_t(slot * 2 - 2) : 0u) << "slot " << slot;
        ASSERT_EQ(u32At(bytes, at + 128), done ? std::uint32_t(slot) : 0u) << "slot " << slot;
    }
}

TEST_F(OstrelProcess, SigtermBeforeStartEndsCleanly) {
    process_.setProgram(QStringLiteral(OSTREL_PROGRAM));
    process_.setWorkingDirectory(dir_.path());
    process_.start();
    ASSERT_TRUE(process_.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return catchesSigterm(process_.processId()); })) << "Ostrel never got ready";
    stopAndExpectCleanExit();
}
