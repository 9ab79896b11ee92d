// The money operation: amounts, checks and their messages, switching on and off, the journal row, and the
// balance and journal written together or not at all.
#include "BillingFixture.h"
#include "billing/MoneyOperation.h"
#include "data/Sql.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

struct MoneyCase {
    const char* name;
    int balance;
    int lock;
    MoneyRequest request;
    MoneyResult::Status status;
    QString message;  // empty: none
    int balanceAfter;
    int lockAfter;
};

void PrintTo(const MoneyCase& c, std::ostream* os) { *os << c.name; }

const QString kBadNumber = QStringLiteral("Ошибка введения значений. Вводиться должны целые числа");

const MoneyCase kCases[] = {
    {"CreditOnDebt", -700, 0, {7, QStringLiteral("12"), QStringLiteral("5"), true}, MoneyResult::Done, {}, 505, 1},
    {"DebitToZeroSwitchesOff", 50, 1, {7, QStringLiteral("0"), QStringLiteral("50"), false}, MoneyResult::Done, {}, 0, 0},
    {"DebitLeavingMoneySwitchesOn", 500, 0, {7, QStringLiteral("1"), {}, false}, MoneyResult::Done, {}, 400, 1},
    {"OnlyKopecks", 0, 0, {7, {}, QStringLiteral("5"), true}, MoneyResult::Done, {}, 5, 1},
    {"NinetyNineKopecks", 0, 0, {7, {}, QStringLiteral("99"), true}, MoneyResult::Done, {}, 99, 1},
    {"ZeroAmountKeepsDebtorOff", -10, 1, {7, QStringLiteral("0"), QStringLiteral("0"), true}, MoneyResult::Done, {}, -10, 0},
    {"BothEmpty", 100, 1, {7, {}, {}, true}, MoneyResult::Nothing, {}, 100, 1},
    {"HundredKopecks", 100, 1, {7, QStringLiteral("1"), QStringLiteral("100"), true}, MoneyResult::BadKopecks,
     QStringLiteral("Копеек не может быть больше 99!"), 100, 1},
    {"NegativeKopecks", 100, 1, {7, {}, QStringLiteral("-5"), true}, MoneyResult::BadKopecks,
     QStringLiteral("Копеек не может быть меньше нуля!"), 100, 1},
    {"UnitsBeyond32Bits", 100, 1, {7, QStringLiteral("99999999999"), {}, true}, MoneyResult::BadNumber, kBadNumber, 100, 1},
    {"NotANumber", 100, 1, {7, QStringLiteral("1,5"), {}, true}, MoneyResult::BadNumber, kBadNumber, 100, 1},
    {"AmountBeyond32Bits", 100, 1, {7, QStringLiteral("21474837"), {}, false}, MoneyResult::Refused,
     QStringLiteral("Ошибка! Сумма операции слишком велика. Операция не выполнена."), 100, 1},
    {"BalanceBeyond32Bits", 2147483000, 1, {7, QStringLiteral("10"), {}, true}, MoneyResult::Refused,
     QStringLiteral("Ошибка! Баланс абонента вышел бы за допустимые пределы. Операция не выполнена."), 2147483000, 1},
    {"BadImportDate", 100, 1, {7, QStringLiteral("1"), {}, true, QStringLiteral("31.02.2010")}, MoneyResult::Refused,
     QStringLiteral("Ошибка! Неверная дата операции: 31.02.2010. Операция не выполнена."), 100, 1},
    {"UnknownSubscriber", 100, 1, {8, QStringLiteral("1"), {}, true}, MoneyResult::Refused,
     QStringLiteral("Ошибка! Абонент 8 не найден. Операция не выполнена."), 100, 1},
};

class MoneyCases : public DatabaseTest, public ::testing::WithParamInterface<MoneyCase> {
protected:
    ScriptedDialogs dialogs_;
};

TEST_P(MoneyCases, BalanceLockAndJournal) {
    const MoneyCase& c = GetParam();
    addSubscriber({.id = 7, .money = c.balance, .lock = c.lock});
    MoneyOperation operation;
    const MoneyResult result = operation.perform(c.request);

    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(dialogs_.messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=7")), c.balanceAfter);
    EXPECT_EQ(intOf(QStringLiteral("select `lock` from abons where Id=7")), c.lockAfter);
    QSqlQuery j = exec(QStringLiteral("select id_abona, tip_operacii, kanals_count, summa, posle_oplati from prihod_rashod"));
    if (c.status != MoneyResult::Done) {
        EXPECT_FALSE(j.next());
        return;
    }
    ASSERT_TRUE(j.next());
    EXPECT_EQ(j.value(0).toInt(), 7);
    EXPECT_EQ(j.value(1).toInt(), 1);
    EXPECT_EQ(j.value(2).toInt(), 0);
    EXPECT_EQ(j.value(3).toInt(), c.balanceAfter - c.balance);
    EXPECT_EQ(j.value(4).toInt(), c.balanceAfter);
    EXPECT_EQ(result.balance, c.balanceAfter);
    EXPECT_FALSE(j.next());
}

INSTANTIATE_TEST_SUITE_P(Money, MoneyCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class MoneyOperationTest : public DatabaseTest {
protected:
    ScriptedDialogs dialogs_;
};

TEST_F(MoneyOperationTest, ImportedDateIsTheJournalDate) {
    addSubscriber({.id = 7, .money = 0});
    MoneyOperation operation;
    operation.perform({7, QStringLiteral("3"), {}, true, QStringLiteral("05.03.2010")});
    EXPECT_EQ(scalar(QStringLiteral("select date from prihod_rashod")).toDateTime(), QDateTime(QDate(2010, 3, 5), QTime(0, 0)));
}

// The device task is queued inside the operation: it sees the new balance, and its failure undoes the whole
// operation.
TEST_F(MoneyOperationTest, DeviceTaskHookSeesTheChangeAndItsFailureUndoesIt) {
    addSubscriber({.id = 7, .money = 100, .lock = 1});
    MoneyOperation operation;
    std::vector<std::tuple<int, bool, bool, int>> calls;
    operation.balanceChanged = [&](qint32 id, bool wasOn, bool isOn) {
        calls.emplace_back(id, wasOn, isOn, intOf(QStringLiteral("select money from abons where Id=7")));
    };
    operation.perform({7, QStringLiteral("2"), {}, false});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_tuple(7, true, false, -100));

    operation.balanceChanged = [](qint32, bool, bool) { throw DatabaseError(QStringLiteral("queue is gone")); };
    EXPECT_THROW(operation.perform({7, QStringLiteral("5"), {}, true}), DatabaseError);
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=7")), -100);
    EXPECT_EQ(intOf(QStringLiteral("select `lock` from abons where Id=7")), 0);
    EXPECT_EQ(intOf(QStringLiteral("select count(*) from prihod_rashod")), 1);
}

}  // namespace
}  // namespace kavrin::test
