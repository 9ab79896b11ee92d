// The charging run on a test clock: which periods it charges, its marks, labels and messages, and what a
// failure in the middle of a pass leaves behind.
#include "BillingFixture.h"
#include "billing/ChargingRun.h"
#include "billing/ChargingTimer.h"
#include "common/Clock.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

using Result = ChargingRun::Result;

const QDate kToday(2024, 3, 15);

QString d(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

class RunFixture : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        Clock::install(&clock_);
        addStream(1, {{0, true, 100}});
        addSubscriber({.id = 1, .money = 100000, .words = {{1, 0x1}}});
        addSubscriber({.id = 2, .money = 100000, .lock = 0, .words = {{1, 0x1}}});  // switched off: never charged
        run_.showTask = [this](const QString& t) { labels_ << t; };
        run_.reload = [this] { ++reloads_; };
        run_.backup = [this] { backups_ << d(Clock::current().today()); return Backup::Archived; };
    }
    void TearDown() override { Clock::install(nullptr); }

    void setToday(const QDate& today) { clock_.set(QDateTime(today, QTime(10, 30))); }
    void setLast(const QDate& last) { exec(QStringLiteral("update spisanie set date='%1'").arg(last.toString(Qt::ISODate))); }

    static Settings settings(qint64 interval, bool autoOn, bool useCoef) {
        Settings s;
        s.billingInterval = interval;
        s.autoCharging = autoOn ? 0 : 1;
        s.useCoef = useCoef;
        s.useAutoBackup = false;
        return s;
    }

    QList<int> chargesOf(int id) {
        QList<int> out;
        QSqlQuery q = exec(QStringLiteral("select summa from prihod_rashod where id_abona=%1 order by nomer_operacii").arg(id));
        while (q.next()) out << q.value(0).toInt();
        return out;
    }
    QList<QPair<int, QDate>> newMarks() {
        QList<QPair<int, QDate>> out;
        QSqlQuery q = exec(QStringLiteral("select id, date from spisanie where id > 1 order by id"));
        while (q.next()) out << qMakePair(q.value(0).toInt(), q.value(1).toDate());
        return out;
    }

    ManualClock clock_;
    ScriptedDialogs dialogs_;
    ChargingRun run_;
    QStringList labels_;
    QStringList backups_;
    int reloads_ = 0;
};

struct Pass {
    QString label;
    int coef;
    QDate mark;
};

struct RunCase {
    const char* name;
    QDate last;
    QDate today;
    qint64 interval;
    bool autoOn;
    bool useCoef;
    std::vector<Answer> answers;
    QStringList texts;  // messages and the question, in order
    std::vector<Pass> passes;
    Result result;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const QString kQuestion = QStringLiteral("В случае ошибки может произойти сбой в системе. Если дата верна, то нажмите [ОК] "
                                         "и средства за эти дни будут списаны");
const QString kGap4 = QStringLiteral("Списание денег производилось 4 дней назад[11.03.2024]. Проверьте текущую дату на компьютере.");

const RunCase kRunCases[] = {
    {"Today", kToday, kToday, 1, true, true, {}, {}, {}, Result::NothingToDo},
    {"Yesterday", kToday.addDays(-1), kToday, 1, true, true, {}, {},
     {{QStringLiteral("Задача: Списание средств за 15.03.2024"), 1, kToday}}, Result::Charged},
    {"ThreeDaysWithCoef", kToday.addDays(-3), kToday, 1, true, true, {}, {},
     {{QStringLiteral("Задача: Списание средств за период в 3 дней"), 3, kToday}}, Result::Charged},
    {"ThreeDaysWithoutCoefBox", kToday.addDays(-3), kToday, 1, true, false, {}, {},
     {{QStringLiteral("Задача: Списание средств за 13.03.2024"), 1, QDate(2024, 3, 13)},
      {QStringLiteral("Задача: Списание средств за 14.03.2024"), 1, QDate(2024, 3, 14)},
      {QStringLiteral("Задача: Списание средств за 15.03.2024"), 1, kToday}},
     Result::Charged},
    {"FourDaysWithCoefConfirmed", kToday.addDays(-4), kToday, 1, true, true, {Answer::Yes}, {kGap4, kQuestion},
     {{QStringLiteral("Задача: Списание средств за период в 4 дней"), 4, kToday}}, Result::Charged},
    {"FourDaysDeclined", kToday.addDays(-4), kToday, 1, true, true, {Answer::No},
     {kGap4, kQuestion, QStringLiteral("Операция по списанию прервана. Выставьте на ПК верную дату и время.")}, {},
     Result::Stopped},
    {"FourDaysManual", kToday.addDays(-4), kToday, 1, false, true, {Answer::Yes}, {kGap4, kQuestion},
     {{QStringLiteral("Задача: Списание средств за 12.03.2024"), 1, QDate(2024, 3, 12)},
      {QStringLiteral("Задача: Списание средств за 13.03.2024"), 1, QDate(2024, 3, 13)},
      {QStringLiteral("Задача: Списание средств за 14.03.2024"), 1, QDate(2024, 3, 14)},
      {QStringLiteral("Задача: Списание средств за 15.03.2024"), 1, kToday}},
     Result::Charged},
    {"TomorrowWithCoefChargesNothing", kToday.addDays(1), kToday, 1, true, true, {}, {},
     {{QStringLiteral("Задача: Списание средств за период в 0 дней"), 0, kToday.addDays(1)}}, Result::Charged},
    {"TomorrowManualChargesOneDay", kToday.addDays(1), kToday, 1, false, true, {}, {},
     {{QStringLiteral("Задача: Списание средств за 17.03.2024"), 1, kToday.addDays(2)}}, Result::Charged},
    {"TwoDaysAhead", kToday.addDays(2), kToday, 1, true, true, {},
     {QStringLiteral("Внимание! Текщая дата меньше даты последнего списания! [17.03.2024] Проверьте текущую дату в ПК и "
                     "повторите попытку."),
      QStringLiteral("Операция по списанию прервана. В случае повторения ошибки - сообщите администратору.")},
     {}, Result::Stopped},
    {"MonthlyJanuaryToFebruary", QDate(2024, 1, 31), QDate(2024, 2, 1), 2, true, true, {}, {},
     {{QStringLiteral("Задача: Списание средств за 01.02.2024"), 1, QDate(2024, 2, 1)}}, Result::Charged},
    {"MonthlySameMonthAYearLater", QDate(2023, 3, 2), QDate(2024, 3, 20), 2, true, true, {}, {}, {}, Result::NothingToDo},
    {"MonthlyDecemberToJanuary", QDate(2023, 12, 20), QDate(2024, 1, 3), 2, false, false, {}, {},
     {{QStringLiteral("Задача: Списание средств за 03.01.2024"), 1, QDate(2024, 1, 3)}}, Result::Charged},
    {"MonthlyThreeMonthsConfirmed", QDate(2023, 12, 20), QDate(2024, 3, 15), 2, true, true, {Answer::Yes},
     {QStringLiteral("Списание денег производилось 3 месяца назад[20.12.2023]. Проверьте текущую дату на компьютере."),
      kQuestion},
     {{QStringLiteral("Задача: Списание средств за период в 3 месяца"), 3, kToday}}, Result::Charged},
    {"MonthlyClockBackOverMonthEnd", QDate(2024, 2, 1), QDate(2024, 1, 31), 2, true, true, {}, {}, {},
     Result::NothingToDo},
    {"NeverCharges", kToday.addDays(-10), kToday, 3, false, true, {}, {}, {}, Result::NothingToDo},
    {"UnknownInterval", kToday.addDays(-1), kToday, 5, true, true, {},
     {QStringLiteral("Операция по списанию прервана. Ошибка в настройке программы.")}, {}, Result::Stopped},
};

class RunCases : public RunFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunCases, PassesMarksLabelsAndMessages) {
    const RunCase& c = GetParam();
    setToday(c.today);
    setLast(c.last);
    for (Answer a : c.answers) dialogs_.answer(a);

    EXPECT_EQ(run_.Button9Click(settings(c.interval, c.autoOn, c.useCoef)), c.result);

    EXPECT_EQ(dialogs_.texts(), c.texts);
    EXPECT_TRUE(dialogs_.allAnswersUsed());
    QList<int> charges;
    QList<QPair<int, QDate>> marks;
    QStringList labels;
    for (size_t i = 0; i < c.passes.size(); ++i) {
        charges << -100 * c.passes[i].coef;
        marks << qMakePair(int(i) + 2, c.passes[i].mark);
        labels << c.passes[i].label;
    }
    EXPECT_EQ(chargesOf(1), charges);
    EXPECT_EQ(chargesOf(2), QList<int>());
    EXPECT_EQ(newMarks(), marks);
    if (c.result == Result::Charged) {
        const QDate last = c.passes.back().mark;
        labels << QStringLiteral("Задача: Списание средств на %1 выполнено.").arg(d(last.addDays(1)));
        // The report holds the last pass only.
        EXPECT_EQ(intOf(QStringLiteral("select summa from tmp_ot4et where id_abona=1")), charges.back());
    }
    EXPECT_EQ(labels_, labels);
    EXPECT_EQ(reloads_, c.result == Result::Charged ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Run, RunCases, ::testing::ValuesIn(kRunCases),
                         [](const auto& info) { return std::string(info.param.name); });

class RunTest : public RunFixture {};

// Without the coefficient each day is its own pass, and a subscriber switched off by one pass is not
// charged by the next.
TEST_F(RunTest, SubscriberSwitchedOffByAPassIsNotChargedByTheNext) {
    addSubscriber({.id = 3, .money = 150, .words = {{1, 0x1}}});
    setToday(kToday);
    setLast(kToday.addDays(-4));
    dialogs_.answer(Answer::Yes);
    EXPECT_EQ(run_.Button9Click(settings(1, false, true)), Result::Charged);
    EXPECT_EQ(chargesOf(3), (QList<int>{-100, -100}));
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=3")), -50);
    EXPECT_EQ(intOf(QStringLiteral("select `lock` from abons where Id=3")), 0);
}

TEST_F(RunTest, BackupComesFirstAndItsFailureStopsTheRun) {
    exec(QStringLiteral("insert into tmp_ot4et (id_abona, summa) values (9, -1)"));
    setToday(kToday);
    setLast(kToday.addDays(-1));
    Settings s = settings(1, true, true);
    s.useAutoBackup = true;
    run_.backup = [this] {
        EXPECT_EQ(intOf(QStringLiteral("select count(*) from tmp_ot4et")), 1);  // the report is emptied after it
        return Backup::Failed;
    };
    EXPECT_EQ(run_.Button9Click(s), Result::Stopped);
    EXPECT_EQ(dialogs_.texts(), QStringList{QStringLiteral("Операция по списанию прервана: резервная копия базы не "
                                                           "создана. Средства не списаны.")});
    EXPECT_EQ(chargesOf(1), QList<int>());
    EXPECT_EQ(newMarks().size(), 0);

    run_.backup = [] { return Backup::Unpacked; };
    EXPECT_EQ(run_.Button9Click(s), Result::Charged);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from tmp_ot4et")), 1);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from tmp_ot4et where id_abona=9")), 0);
}

TEST_F(RunTest, NoMarkAtAllIsReported) {
    exec(QStringLiteral("delete from spisanie"));
    EXPECT_EQ(run_.Button9Click(settings(1, true, true)), Result::Stopped);
    EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("Ошибка! Нет отметки о последнем списании средств "
                                                              "(таблица spisanie пуста). Списание не выполнено.")});
    EXPECT_EQ(chargesOf(1), QList<int>());
}

// The connection dies half-way through the second of two daily passes: the first pass stays, nothing of
// the second remains, and the next run charges that day once.
TEST_F(RunTest, PassCutOffHalfWayIsUndoneAndChargedOnceLater) {
    for (int id = 10; id < 20; ++id) addSubscriber({.id = id, .money = 10000, .words = {{1, 0x1}}});
    setToday(kToday);
    setLast(kToday.addDays(-2));
    const int connectionId = intOf(QStringLiteral("select connection_id()"));
    QSqlDatabase killer = openTestConnection(QStringLiteral("killer"));
    int passes = 0;
    run_.chunkSize = 3;
    run_.showTask = [&](const QString&) { ++passes; };
    run_.chunkWritten = [&](int done) {
        if (passes == 2 && done >= 6) exec(QStringLiteral("KILL %1").arg(connectionId), killer);
    };

    EXPECT_EQ(run_.Button9Click(settings(1, false, true)), Result::Failed);
    ASSERT_EQ(dialogs_.messages().size(), 1);
    EXPECT_TRUE(dialogs_.messages()[0].startsWith(QStringLiteral(
        "Ошибка! Списание средств прервано. Изменения этого прохода отменены: ни с одного абонента за этот период "
        "ничего не списано.\n")))
        << dialogs_.messages()[0].toStdString();
    EXPECT_EQ(reloads_, 0);

    openTestConnection();
    for (int id : {1, 10, 15, 19}) EXPECT_EQ(chargesOf(id), QList<int>{-100}) << id;
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from tmp_ot4et")), 11);
    EXPECT_EQ(newMarks(), (QList<QPair<int, QDate>>{{2, kToday.addDays(-1)}}));

    run_.chunkWritten = nullptr;
    EXPECT_EQ(run_.Button9Click(settings(1, false, true)), Result::Charged);
    for (int id : {1, 10, 15, 19}) EXPECT_EQ(chargesOf(id), (QList<int>{-100, -100})) << id;
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=15")), 9800);
    EXPECT_EQ(newMarks(), (QList<QPair<int, QDate>>{{2, kToday.addDays(-1)}, {3, kToday}}));
    EXPECT_EQ(reloads_, 1);
}

}  // namespace
}  // namespace kavrin::test

namespace kavrin::test {
namespace {

// The first tick comes a second after the start, then every two hours; each tick reads the settings before
// deciding, runs only with automatic charging on, and shows the manual item only with it off.
TEST(ChargingTimerTest, TicksReadTheSettingsFirstAndSetTheManualItem) {
    QTimer timer;
    ChargingTimer charging(timer);
    EXPECT_EQ(timer.interval(), 1000);
    bool automatic = false;
    QStringList calls;
    charging.read_config = [&] { calls << QStringLiteral("read"); };
    charging.automaticChargingOn = [&] { return automatic; };
    charging.Button9Click = [&] {
        EXPECT_FALSE(timer.isActive());  // no second run can start meanwhile
        calls << QStringLiteral("run");
    };
    charging.setManualRunVisible = [&](bool v) { calls << (v ? QStringLiteral("manual shown") : QStringLiteral("manual hidden")); };

    timer.start();
    charging.Timer1Timer();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("read"), QStringLiteral("manual shown")}));
    EXPECT_EQ(timer.interval(), 7200000);
    EXPECT_TRUE(timer.isActive());

    calls.clear();
    automatic = true;
    charging.Timer1Timer();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("read"), QStringLiteral("run"), QStringLiteral("manual hidden")}));
    EXPECT_TRUE(timer.isActive());
}

}  // namespace
}  // namespace kavrin::test
