// The settings: how stored values map to the window's choices, what a save writes, and its charging mark.
#include "BillingFixture.h"
#include "billing/ChargingRun.h"
#include "billing/Settings.h"
#include "common/Clock.h"
#include "data/Sql.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

class SettingsTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        Settings::current() = Settings{};
        clock_.set(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
        Clock::install(&clock_);
    }
    void TearDown() override { Clock::install(nullptr); }
    ManualClock clock_;
    ScriptedDialogs dialogs_;
};

TEST_F(SettingsTest, ReadConfigTreatsAnyNonZeroAsTheSecondChoice) {
    exec(QStringLiteral("update config set language=5, autospisanie=2, use_coef=0, type_of_port=9, use_auto_null=3, "
                        "use_auto_backup=0, billing_interval=2"));
    const Settings& s = settings_store::read_config();
    EXPECT_EQ(s.currency, 1);
    EXPECT_EQ(s.currencyName(), QStringLiteral("руб."));
    EXPECT_EQ(s.autoCharging, 1);
    EXPECT_FALSE(s.useCoef);
    EXPECT_EQ(s.portType, 1);
    EXPECT_TRUE(s.useAutoNull);
    EXPECT_FALSE(s.useAutoBackup);
    EXPECT_EQ(s.intervalIndex, 1);

    exec(QStringLiteral("update config set language=0, autospisanie=0, billing_interval=5"));
    settings_store::read_config();
    EXPECT_EQ(s.currencyName(), QStringLiteral("грн."));
    EXPECT_TRUE(s.automaticChargingOn());
    EXPECT_EQ(s.intervalIndex, 1);  // an unknown period leaves the choice as it was
    EXPECT_EQ(s.billingInterval, 5);
}

TEST_F(SettingsTest, SavingWithNoPeriodChosenKeepsTheStoredOne) {
    exec(QStringLiteral("update config set billing_interval=5"));
    settings_store::read_config();
    Settings s = Settings::current();
    ASSERT_EQ(s.intervalIndex, -1);
    s.useAutoNull = true;
    settings_store::save(s);
    EXPECT_EQ(intOf(QStringLiteral("select billing_interval from config")), 5);
    EXPECT_EQ(intOf(QStringLiteral("select use_auto_null from config")), 1);
}

TEST_F(SettingsTest, SavingWithAutomaticChargingOffAddsNoMark) {
    Settings s = settings_store::read_config();
    s.autoCharging = 1;
    s.intervalIndex = 0;
    settings_store::save(s);
    EXPECT_EQ(intOf(QStringLiteral("select autospisanie from config")), 1);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from spisanie")), 1);
}

// Saving with automatic charging on after a week without charging counts today as charged.
TEST_F(SettingsTest, SavingWithAutomaticChargingOnMarksToday) {
    exec(QStringLiteral("update spisanie set date='2024-03-08'"));
    addStream(1, {{0, true, 100}});
    addSubscriber({.id = 1, .money = 1000, .words = {{1, 0x1}}});
    Settings s = settings_store::read_config();
    s.autoCharging = 0;
    s.intervalIndex = 0;
    settings_store::save(s);
    QSqlQuery q = exec(QStringLiteral("select id, date, time from spisanie order by id"));
    ASSERT_TRUE(q.next());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
    EXPECT_EQ(q.value(1).toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(q.value(2).toTime(), QTime(9, 0));

    ChargingRun run;
    EXPECT_EQ(run.Button9Click(Settings::current()), ChargingRun::Result::NothingToDo);
    EXPECT_EQ(intOf(QStringLiteral("select money from abons")), 1000);
}

// The mark and the settings row are stored together: a mark without its settings would skip a day's charge.
TEST_F(SettingsTest, FailedSaveLeavesNoMark) {
    exec(QStringLiteral("CREATE TRIGGER config_refuses BEFORE UPDATE ON config FOR EACH ROW "
                        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'"));
    Settings s = settings_store::read_config();
    s.autoCharging = 0;
    EXPECT_THROW(settings_store::save(s), DatabaseError);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from spisanie")), 1);
    EXPECT_EQ(Settings::current().autoCharging, 1);
}

TEST_F(SettingsTest, MissingRowIsCreatedBySave) {
    exec(QStringLiteral("delete from config"));
    Settings s = settings_store::read_config();  // nothing to read: the window's initial choices stay
    EXPECT_TRUE(s.useCoef);
    s.autoCharging = 1;
    s.intervalIndex = 1;
    settings_store::save(s);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from config")), 1);
    EXPECT_EQ(intOf(QStringLiteral("select billing_interval from config")), 2);
}

}  // namespace
}  // namespace kavrin::test
