// The register's handlers against the real database: which slot and which task rows each event leaves behind.
#include "RegisterFixture.h"

#include "data/ClientDataSet.h"
#include "register/SlotMap.h"

using namespace kavrin;
using namespace kavrin::test;
using State = ClientDataSet::State;

namespace {

const QString kCritical =
    QStringLiteral("Внимание! В базе данных обнаружена критическая ошибка. Рекомендуется перезалить базу.");
const QString kSeveral = QStringLiteral("Внимание! В базе данных обнаружена ошибка. Рекомендуется перезалить базу.");

int abonsCount() { return scalar(QStringLiteral("select count(*) from abons")).toInt(); }

}  // namespace

class RegisterHandlersTest : public RegisterTest {
protected:
    void append(const QString& typed) {
        dialogs.input(typed);
        ds->abons.append();
    }
    void goTo(int id) { ASSERT_TRUE(ds->abons.locate(QStringLiteral("Id"), id)); }
};

TEST_F(RegisterHandlersTest, NewSubscriberSwitchedOnGetsSlotAndFullRecord) {
    openRegister();
    append(QStringLiteral("125"));
    ASSERT_EQ(ds->abons.state(), State::Insert);
    EXPECT_EQ(reg->edit_mode, 1);
    ds->abons.setValue(QStringLiteral("Name1"), QStringLiteral("Иванов"));
    ds->abons.post();

    EXPECT_TRUE(dialogs.messages().isEmpty());
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].caption, QStringLiteral("Добавление абонента"));
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("Введите номер абонента"));
    EXPECT_EQ(slotMap(), (std::vector<std::array<int, 3>>{{1, 1, 125}}));
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 125, 1, {}, 0)});
    QSqlQuery q = exec(QStringLiteral("select Name1, Data_Create, `lock`, money, abonplata from abons where Id=125"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("Иванов"));
    EXPECT_EQ(q.value(1).toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(q.value(2).toInt(), 1);
    EXPECT_EQ(q.value(3).toInt(), 0);
    EXPECT_EQ(q.value(4).toInt(), 0);
    EXPECT_EQ(ds->abons.value(QStringLiteral("Id")).toInt(), 125);
    EXPECT_EQ(ds->abons.changeCount(), 0);
    EXPECT_EQ(reg->edit_mode, 0);
}

TEST_F(RegisterHandlersTest, NewSubscriberSwitchedOffGetsSlotButNoTaskUntilSwitchedOn) {
    insertSubscriber(3, 1, 0);
    insertSlot(1, 1, 3);
    openRegister();
    append(QStringLiteral("7"));
    ds->abons.setValue(QStringLiteral("lock"), 0);
    ds->abons.post();
    EXPECT_EQ(slotMap(), (std::vector<std::array<int, 3>>{{1, 1, 3}, {2, 1, 7}}));
    EXPECT_TRUE(queuedTasks().empty());
    EXPECT_EQ(scalar(QStringLiteral("select `lock` from abons where Id=7")).toInt(), 0);

    goTo(7);
    ds->abons.setValue(QStringLiteral("lock"), 1);
    ds->abons.post();
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(2, 7, 2, {}, 0)});
}

struct RefusedNumber {
    const char* typed;  // nullptr: the prompt is cancelled
    QString message;
};

class RefusedNumberTest : public RegisterHandlersTest, public ::testing::WithParamInterface<RefusedNumber> {};

TEST_P(RefusedNumberTest, NothingIsAddedAndTheReasonIsShown) {
    insertSubscriber(12, 1, 0);
    insertSlot(1, 1, 12);
    openRegister();
    if (GetParam().typed)
        dialogs.input(QString::fromUtf8(GetParam().typed));
    else
        dialogs.cancelInput();
    ds->abons.append();

    EXPECT_EQ(dialogs.messages(), QStringList{GetParam().message});
    EXPECT_EQ(ds->abons.state(), State::Browse);
    EXPECT_EQ(ds->abons.recordCount(), 1);
    EXPECT_EQ(ds->abons.changeCount(), 0);
    EXPECT_EQ(reg->edit_mode, 0);
    EXPECT_EQ(abonsCount(), 1);
    EXPECT_EQ(slotMap().size(), 1u);
    EXPECT_TRUE(queuedTasks().empty());
}

static QString notANumber(const char* text) {
    return QStringLiteral("Ошибка! Не может быть id абонента = ") + QString::fromUtf8(text) +
           QStringLiteral(" Загрузка продолжится со следующей строки.");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedNumberTest,
    ::testing::Values(RefusedNumber{"abc", notANumber("abc")}, RefusedNumber{"0", notANumber("0")},
                      RefusedNumber{"-5", notANumber("-5")}, RefusedNumber{"2147483648", notANumber("2147483648")},
                      RefusedNumber{"12;DROP TABLE abons", notANumber("12;DROP TABLE abons")},
                      RefusedNumber{nullptr, notANumber("0")},
                      RefusedNumber{"12", QStringLiteral("Ошибка! Абонент с id = 12 уже существует!")}));

TEST_F(RegisterHandlersTest, CancelledNewRowLeavesNoTrace) {
    openRegister();
    append(QStringLiteral("50"));
    ds->abons.setValue(QStringLiteral("Name1"), QStringLiteral("Петров"));
    ds->abons.cancel();
    reg->Button2Click();
    EXPECT_EQ(abonsCount(), 0);
    EXPECT_TRUE(slotMap().empty());
    EXPECT_TRUE(queuedTasks().empty());
    EXPECT_EQ(reg->edit_mode, 0);
}

// Subscriber 125 in slot 7 of 130, balance 40, its words 1, 62 and 64 set; the edit sets the balance to -150.
struct EditCase {
    int lockBefore;
    int lockAfter;
    enum { None, Full, AllOff } task;
};

class EditTest : public RegisterHandlersTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditTest, QueuesWhatTheSwitchRequires) {
    const WordMap words{{1, 5}, {62, 0x7FFF}, {64, 9}};
    insertSubscriber(125, GetParam().lockBefore, 40, words);
    for (int s = 1; s <= 130; ++s) insertSlot(s, 1, s == 7 ? 125 : 1000 + s);
    openRegister();
    goTo(125);
    ds->abons.setValue(QStringLiteral("Tel"), QStringLiteral("555-12-12"));
    ds->abons.setValue(QStringLiteral("money"), -150);
    ds->abons.setValue(QStringLiteral("lock"), GetParam().lockAfter);
    ds->abons.post();

    std::vector<TaskRow> expected;
    if (GetParam().task == EditCase::Full) expected.push_back(fullRecord(7, 125, 130, words, -150));
    if (GetParam().task == EditCase::AllOff) expected.push_back(allOffRecord(7, 125, 130, -150));
    EXPECT_EQ(queuedTasks(), expected);
    EXPECT_EQ(scalar(QStringLiteral("select Tel from abons where Id=125")).toString(), QStringLiteral("555-12-12"));
    EXPECT_EQ(ds->abons.changeCount(), 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, EditTest,
                         ::testing::Values(EditCase{1, 1, EditCase::Full}, EditCase{0, 1, EditCase::Full},
                                           EditCase{1, 0, EditCase::AllOff}, EditCase{0, 0, EditCase::None}));

TEST_F(RegisterHandlersTest, PackagePrioritySendsThePackageWordsWithTheOwnBalance) {
    const int package = insertPackage(QStringLiteral("Базовый"), {{1, 3}, {40, 0x4000}, {63, 7}, {64, 11}});
    insertSubscriber(21, 1, 900, {{1, 1}, {2, 2}}, 1, package);
    insertSubscriber(22, 1, 500, {{1, 1}}, 1, package + 1);  // its package is gone
    insertSlot(1, 1, 21);
    insertSlot(2, 1, 22);
    openRegister();
    for (int id : {21, 22}) {
        goTo(id);
        ds->abons.setValue(QStringLiteral("Tel"), QStringLiteral("1"));
        ds->abons.post();
    }
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 21, 2, {{1, 3}, {40, 0x4000}, {63, 7}, {64, 11}}, 900)});
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(RegisterHandlersTest, DeleteFreesTheSlotWhichTheNextNewSubscriberTakes) {
    for (int id = 1; id <= 5; ++id) {
        insertSubscriber(id, 1, 0);
        insertSlot(id, 1, id);
    }
    openRegister();
    goTo(3);
    ds->abons.deleteRecord();
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{deleteRecord(3, 3, 5)});
    EXPECT_EQ(slotMap()[2], (std::array<int, 3>{3, 0, 3}));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from abons where Id=3")).toInt(), 0);

    append(QStringLiteral("77"));
    ds->abons.post();
    EXPECT_EQ(slotMap().size(), 5u);
    EXPECT_EQ(slotMap()[2], (std::array<int, 3>{3, 1, 77}));
    EXPECT_EQ(queuedTasks().back(), fullRecord(3, 77, 5, {}, 0));
}

TEST_F(RegisterHandlersTest, DeletingARowBeingEditedStillFreesItsSlot) {
    insertSubscriber(4, 0, 0);
    insertSlot(1, 1, 4);
    openRegister();
    ds->abons.setValue(QStringLiteral("Tel"), QStringLiteral("2"));
    ds->abons.deleteRecord();
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{deleteRecord(1, 4, 1)});
    EXPECT_EQ(slotMap(), (std::vector<std::array<int, 3>>{{1, 0, 4}}));
    EXPECT_EQ(abonsCount(), 0);
    EXPECT_EQ(reg->edit_mode, 0);
}

TEST_F(RegisterHandlersTest, RenumberingMovesSlotJournalAndReportAndQueuesTheNewNumber) {
    insertSubscriber(12, 1, 777, {{5, 100}});
    insertSubscriber(13, 1, 0);
    insertSlot(1, 1, 13);
    insertSlot(2, 1, 12);
    insertSlot(3, 0, 99);
    exec(QStringLiteral("insert into prihod_rashod (id_abona,tip_operacii,summa,posle_oplati) values (12,1,100,100),"
                        "(12,2,-50,50),(13,1,1,1)"));
    exec(QStringLiteral("insert into tmp_ot4et (id_abona,summa) values (12,-50)"));
    openRegister();
    goTo(12);
    dialogs.input(QStringLiteral("40"));
    reg->Button3Click();

    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].caption, QStringLiteral("Изменение абонента"));
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("Введите новый id абонента"));
    EXPECT_EQ(slotMap()[1], (std::array<int, 3>{2, 1, 40}));
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(2, 40, 3, {{5, 100}}, 777)});
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from abons where Id=12")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("select money from abons where Id=40")).toInt(), 777);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from prihod_rashod where id_abona=40")).toInt(), 2);
    EXPECT_EQ(scalar(QStringLiteral("select id_abona from tmp_ot4et")).toInt(), 40);
    EXPECT_EQ(ds->abons.value(QStringLiteral("Id")).toInt(), 40);
    EXPECT_EQ(ds->abons.changeCount(), 0);
}

struct RefusedRenumber {
    int subscriber;
    const char* typed;
    QString message;
};

class RefusedRenumberTest : public RegisterHandlersTest, public ::testing::WithParamInterface<RefusedRenumber> {};

TEST_P(RefusedRenumberTest, NothingChanges) {
    insertSubscriber(12, 1, 0);
    insertSubscriber(13, 1, 0);  // holds no slot
    insertSlot(1, 1, 12);
    openRegister();
    goTo(GetParam().subscriber);
    dialogs.input(QString::fromUtf8(GetParam().typed));
    reg->Button3Click();
    EXPECT_EQ(dialogs.messages(), QStringList{GetParam().message});
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(Id order by Id) from abons")).toString(), "12,13");
    EXPECT_EQ(slotMap(), (std::vector<std::array<int, 3>>{{1, 1, 12}}));
    EXPECT_TRUE(queuedTasks().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedRenumberTest,
    ::testing::Values(RefusedRenumber{12, "сорок", QStringLiteral("Ошибка! Неправильно введён id абонента!")},
                      RefusedRenumber{12, "0", QStringLiteral("Ошибка! Неправильно введён id абонента!")},
                      RefusedRenumber{12, "13", QStringLiteral("Ошибка! Абонент с таким id уже существует!")},
                      RefusedRenumber{12, "12", QStringLiteral("Ошибка! Абонент с таким id уже существует!")},
                      RefusedRenumber{13, "40", kCritical}));

TEST_F(RegisterHandlersTest, SlotFaultsAreReported) {
    insertSubscriber(8, 1, 10);
    insertSubscriber(9, 1, 20);
    insertSlot(1, 1, 8);
    insertSlot(2, 1, 8);  // a second occupied slot for the same subscriber
    openRegister();
    goTo(8);
    ds->abons.setValue(QStringLiteral("Tel"), QStringLiteral("1"));
    ds->abons.post();
    goTo(9);  // holds no slot at all
    ds->abons.setValue(QStringLiteral("Tel"), QStringLiteral("1"));
    ds->abons.post();
    EXPECT_EQ(dialogs.messages(), (QStringList{kSeveral, kCritical}));
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 8, 2, {}, 10)});
    // A delete without a slot queues nothing and says nothing.
    dialogs.clear();
    ds->abons.deleteRecord();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(queuedTasks().size(), 1u);
}

TEST_F(RegisterHandlersTest, ImportInsertTakesTheNumberWithoutPromptOrManualDefaults) {
    openRegister();
    {
        SubscriberRegister::Batch batch(*reg);
        for (int id : {300, 301}) {
            reg->import_mode = 1;
            reg->new_id_text = QString::number(id);
            ds->abons.append();
            ASSERT_EQ(ds->abons.state(), State::Insert);
            EXPECT_TRUE(ds->abons.value(QStringLiteral("lock")).isNull());
            ds->abons.setValue(QStringLiteral("lock"), id == 300 ? 1 : 0);
            ds->abons.setValue(QStringLiteral("money"), 1250);
            ds->abons.post();
            reg->import_mode = 0;
        }
    }
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_EQ(slotMap(), (std::vector<std::array<int, 3>>{{1, 1, 300}, {2, 1, 301}}));
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 300, 1, {}, 1250)});
    EXPECT_EQ(ds->abons.recordCount(), 2);
    EXPECT_EQ(ds->abons.changeCount(), 0);
}
