// The money dialog and the settings window as the operator uses them.
#include "BillingFixture.h"
#include "billing/Settings.h"
#include "data/Datasets.h"
#include "support/ScriptedDialogs.h"
#include "ui/TForm10.h"
#include "ui/TForm7.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

// Set KAVRIN_SCREENSHOTS to a folder to keep a picture of each screen as the test leaves it.
void keepPicture(QWidget& w, const char* name) {
    if (!qEnvironmentVariableIsSet("KAVRIN_SCREENSHOTS")) return;
    w.grab().save(qEnvironmentVariable("KAVRIN_SCREENSHOTS") + QLatin1Char('/') + QLatin1String(name) + ".png");
}

class SettingsWindowTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        Settings::current() = Settings{};
    }
    ScriptedDialogs dialogs_;
};

TEST_F(SettingsWindowTest, InitialStatesAndHints) {
    TForm10 form;
    EXPECT_EQ(form.RadioGroup1->itemIndex(), 0);
    EXPECT_EQ(form.RadioGroup2->itemIndex(), 0);
    EXPECT_EQ(form.RadioGroup3->itemIndex(), 0);
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_FALSE(form.CheckBox2->isChecked());
    EXPECT_FALSE(form.CheckBox3->isChecked());
    EXPECT_EQ(form.RadioGroup4->itemIndex(), -1);
    EXPECT_FALSE(form.RadioGroup3->isEnabled());
    EXPECT_TRUE(form.RadioGroup3->isHidden());
    EXPECT_EQ(form.RadioGroup2->toolTip(),
              QStringLiteral("Если Включено - средства снимаются ежедневно при включении программы, иначе, средства нужно "
                             "снимать вручную через меню Администрирование"));
    EXPECT_EQ(form.CheckBox1->toolTip(), QStringLiteral("Оптимизирует процесс в случае снятя за несколько дней"));
    EXPECT_EQ(form.CheckBox3->toolTip(), QStringLiteral("Бекап будет включаться при очередном снятии денег. Файл будет "
                                                        "сохраняться в директории db_backup"));
}

TEST_F(SettingsWindowTest, CoefficientBoxFollowsAutomaticCharging) {
    TForm10 form;
    form.show();
    form.RadioGroup2->clickItem(1);
    EXPECT_FALSE(form.CheckBox1->isEnabled());
    EXPECT_FALSE(form.CheckBox1->isChecked());
    form.RadioGroup2->clickItem(0);
    EXPECT_TRUE(form.CheckBox1->isEnabled());
    EXPECT_FALSE(form.CheckBox1->isChecked());
}

TEST_F(SettingsWindowTest, ClosingWithoutSavingPutsTheStoredValuesBack) {
    exec(QStringLiteral("update config set language=1, autospisanie=0, use_coef=1, use_auto_backup=0, billing_interval=2"));
    TForm10 form;
    form.read_config();
    form.show();
    form.RadioGroup1->clickItem(0);
    form.RadioGroup2->clickItem(1);
    form.RadioGroup4->clickItem(2);
    form.CheckBox3->setChecked(true);
    form.reject();
    EXPECT_EQ(form.RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(form.RadioGroup2->itemIndex(), 0);
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.CheckBox1->isEnabled());
    EXPECT_EQ(form.RadioGroup4->itemIndex(), 1);
    EXPECT_FALSE(form.CheckBox3->isChecked());
    EXPECT_EQ(intOf(QStringLiteral("select autospisanie from config")), 0);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from spisanie")), 1);
}

TEST_F(SettingsWindowTest, SavingAutomaticChargingOffShowsTheManualRunItem) {
    TForm10 form;
    form.read_config();
    std::optional<bool> manualRunVisible;
    form.setManualRunVisible = [&](bool v) { manualRunVisible = v; };
    form.show();
    form.RadioGroup2->clickItem(1);
    form.RadioGroup4->clickItem(1);
    form.CheckBox2->setChecked(true);
    keepPicture(form, "settings");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(manualRunVisible, std::optional<bool>(true));
    EXPECT_EQ(intOf(QStringLiteral("select autospisanie from config")), 1);
    EXPECT_EQ(intOf(QStringLiteral("select billing_interval from config")), 2);
    EXPECT_EQ(intOf(QStringLiteral("select use_auto_null from config")), 1);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from spisanie")), 1);
    EXPECT_TRUE(Settings::current().useAutoNull);
}

class MoneyDialogTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        Settings::current() = Settings{};
        addSubscriber({.id = 7, .money = -700, .lock = 0});
        exec(QStringLiteral("update abons set Name1='Петренко', Name2='Олег' where Id=7"));
        exec(QStringLiteral("insert into svobodnie_mesta (Id_mesta, zanyat, id_abona) values (1, 1, 7)"));
        Datasets::shared().abons.open();
        Datasets::shared().abons.locate(QStringLiteral("Id"), 7);
    }
    void TearDown() override { Datasets::shared().abons.close(); }
    ScriptedDialogs dialogs_;
};

TEST_F(MoneyDialogTest, EnterPerformsTheOperationAndQueuesTheDeviceRecord) {
    TForm7 form;
    form.show();
    EXPECT_EQ(form.DBText1->text(), QStringLiteral("7"));
    EXPECT_EQ(form.DBText2->text(), QStringLiteral("Петренко"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("грн."));
    EXPECT_TRUE(form.RadioButton1->isChecked());
    QTest::keyClicks(form.cxMaskEdit1, QStringLiteral("12x"));  // the mask lets digits only through
    QTest::keyClicks(form.cxMaskEdit2, QStringLiteral("5"));
    EXPECT_EQ(form.cxMaskEdit1->text(), QStringLiteral("12"));
    keepPicture(form, "money");
    QTest::keyClick(form.cxMaskEdit2, Qt::Key_Return);

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs_.texts(), QStringList());
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=7")), 505);
    EXPECT_EQ(intOf(QStringLiteral("select `lock` from abons where Id=7")), 1);
    EXPECT_EQ(intOf(QStringLiteral("select summa from prihod_rashod where id_abona=7")), 1205);
    QSqlQuery task = exec(QStringLiteral("select n_mesta, n_Rec, n_zadaniya, balans from zadaniya"));
    ASSERT_TRUE(task.next());
    EXPECT_EQ(task.value(0).toInt(), 1);
    EXPECT_EQ(task.value(1).toInt(), 7);
    EXPECT_EQ(task.value(2).toInt(), 1);
    EXPECT_EQ(task.value(3).toInt(), 505);
    EXPECT_FALSE(task.next());
}

TEST_F(MoneyDialogTest, ChecksKeepTheDialogOpen) {
    Settings::current().currency = 1;
    TForm7 form;
    form.show();
    EXPECT_EQ(form.Label1->text(), QStringLiteral("руб."));
    QTest::keyClick(form.cxMaskEdit1, Qt::Key_Return);  // both boxes empty: nothing at all
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(dialogs_.texts(), QStringList());

    QTest::keyClicks(form.cxMaskEdit2, QStringLiteral("100"));
    QTest::keyClick(form.cxMaskEdit1, Qt::Key_Return);
    EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("Копеек не может быть больше 99!")});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.cxMaskEdit2);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from prihod_rashod")), 0);

    form.hide();
    form.show();  // every showing starts afresh
    EXPECT_TRUE(form.cxMaskEdit2->text().isEmpty());
}

// The payments import drives the hidden dialog: a debit with the imported date.
TEST_F(MoneyDialogTest, HiddenUseByTheImport) {
    TForm7 form;
    form.cxMaskEdit1->setText(QStringLiteral("1"));
    form.cxMaskEdit2->setText(QStringLiteral("50"));
    form.RadioButton1->setChecked(false);
    form.import_date_text = QStringLiteral("05.03.2010");
    form.import_date_flag = 1;
    form.Button1Click();
    form.import_date_flag = 0;
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=7")), -850);
    EXPECT_EQ(scalar(QStringLiteral("select date from prihod_rashod")).toDateTime(), QDateTime(QDate(2010, 3, 5), QTime(0, 0)));
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from zadaniya")), 0);  // off before and after: no task
}

}  // namespace
}  // namespace kavrin::test
