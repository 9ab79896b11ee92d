// The charge of one subscriber, written by a charging pass: balance, switch-off, journal and report rows.
#include "BillingFixture.h"
#include "billing/BillingError.h"
#include "billing/ChargePass.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

// Stream 1: positions 0..4 scrambled at 120, position 5 free (priced, never billed) at 999.
// Stream 2: position 0 scrambled at 150, position 1 scrambled with no price. Stream 3 has no row.
// Stream 62: position 14 scrambled at 10.
void addCatalogue() {
    addStream(1, {{0, true, 120}, {1, true, 120}, {2, true, 120}, {3, true, 120}, {4, true, 120}, {5, false, 999}});
    addStream(2, {{0, true, 150}, {1, true, std::nullopt}});
    addStream(62, {{14, true, 10}});
    // A second row for stream 1 is ignored: the first one counts.
    addStream(1, {{5, true, 5000}});
}

constexpr int kFiveChannels = 0x1F;   // stream 1, positions 0..4
constexpr int kFreeChannel = 0x20;    // stream 1, position 5
constexpr int kUncoded = 0x8000;      // bit 15: never billed

struct ChargeCase {
    const char* name;
    Subscriber subscriber;
    qint64 coef;
    bool autoNull;
    int summa;
    int posleOplati;
    int kanalsCount;
    int lockAfter;
};

void PrintTo(const ChargeCase& c, std::ostream* os) { *os << c.name; }

class ChargeCases : public DatabaseTest, public ::testing::WithParamInterface<ChargeCase> {};

TEST_P(ChargeCases, BalanceJournalAndReport) {
    const ChargeCase& c = GetParam();
    addCatalogue();
    addPackage(7, 0, {{2, 0x1}, {1, 0x3}});   // priced one by one: 150 + 2 x 120
    addPackage(8, 2000, {{1, kFiveChannels}});
    addSubscriber(c.subscriber);

    ChargePass pass;
    pass.coef = c.coef;
    pass.useAutoNull = c.autoNull;
    EXPECT_EQ(pass.run(PassMark{2, QDate(2024, 5, 1)}), 1);

    const int id = c.subscriber.id;
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=%1").arg(id)), c.posleOplati);
    EXPECT_EQ(intOf(QStringLiteral("select `lock` from abons where Id=%1").arg(id)), c.lockAfter);
    QSqlQuery j = exec(QStringLiteral("select id_abona, tip_operacii, kanals_count, summa, posle_oplati from prihod_rashod"));
    ASSERT_TRUE(j.next());
    EXPECT_EQ(j.value(0).toInt(), id);
    EXPECT_EQ(j.value(1).toInt(), 2);
    EXPECT_EQ(j.value(2).toInt(), c.kanalsCount);
    EXPECT_EQ(j.value(3).toInt(), c.summa);
    EXPECT_EQ(j.value(4).toInt(), c.posleOplati);
    EXPECT_FALSE(j.next());
    QSqlQuery r = exec(QStringLiteral("select id_abona, kanals_count, summa, posle_oplati from tmp_ot4et"));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.value(0).toInt(), id);
    EXPECT_EQ(r.value(1).toInt(), c.kanalsCount);
    EXPECT_EQ(r.value(2).toInt(), c.summa);
    EXPECT_EQ(r.value(3).toInt(), c.posleOplati);
    EXPECT_FALSE(r.next());
    EXPECT_EQ(scalar(QStringLiteral("select date from spisanie where id=2")).toDate(), QDate(2024, 5, 1));
}

const ChargeCase kCases[] = {
    {"FreeChannelsOnly", {.id = 1, .money = 500, .words = {{1, kFreeChannel | kUncoded}}}, 1, false, 0, 500, 0, 1},
    {"FreeChannelsOnlyNoMoneySwitchesOff", {.id = 2, .money = 0, .words = {{1, kFreeChannel}}}, 1, false, 0, 0, 0, 0},
    {"ChannelPricesTimesCoef", {.id = 3, .money = 5000, .words = {{1, kFiveChannels}, {2, 0x3}, {62, 0x4000}}}, 2,
     false, -2 * (600 + 150 + 0 + 10), 5000 - 1520, 8, 1},
    {"StreamWithoutRowCostsNothing", {.id = 4, .money = 100, .words = {{3, 0x7FFF}}}, 1, false, 0, 100, 0, 1},
    {"FeeReplacesPrices", {.id = 5, .money = 5000, .words = {{1, kFiveChannels}}, .feeFlag = 1, .fee = 500}, 3, false,
     -1500, 3500, 5, 1},
    {"FeeFlagOtherThanOneIgnored", {.id = 6, .money = 5000, .words = {{1, 0x1}}, .feeFlag = 2, .fee = 500}, 1, false,
     -120, 4880, 1, 1},
    {"PackageWithoutCostPricesItsChannels",
     {.id = 7, .money = 1000, .words = {{1, kFiveChannels}}, .packagePriority = 1, .packageId = 7}, 1, false, -390, 610,
     3, 1},
    {"PackageCostBeatsFee",
     {.id = 8, .money = 10000, .feeFlag = 1, .fee = 500, .packagePriority = 1, .packageId = 8}, 2, false, -4000, 6000,
     5, 1},
    {"PackageIgnoredWithoutPriority", {.id = 9, .money = 1000, .words = {{1, 0x1}}, .packageId = 8}, 1, false, -120,
     880, 1, 1},
    {"MissingPackageIsEmpty", {.id = 10, .money = 1000, .words = {{1, 0x1}}, .packagePriority = 1, .packageId = 99}, 1,
     false, 0, 1000, 0, 1},
    {"BelowZeroKept", {.id = 11, .money = 100, .words = {{2, 0x1}}}, 1, false, -150, -50, 1, 0},
    {"BelowZeroRoundedUp", {.id = 12, .money = 100, .words = {{2, 0x1}}}, 1, true, -150, 0, 1, 0},
    {"ExactlyZero", {.id = 13, .money = 150, .words = {{2, 0x1}}}, 1, false, -150, 0, 1, 0},
    {"CoefZeroKeepsPositive", {.id = 14, .money = 100, .words = {{2, 0x1}}}, 0, false, 0, 100, 1, 1},
    {"CoefZeroStillSwitchesOffNonPositive", {.id = 15, .money = -20, .words = {{2, 0x1}}}, 0, false, 0, -20, 1, 0},
    {"EmptyBalanceAndFeeCountAsZero", {.id = 16, .money = std::nullopt, .feeFlag = 1, .fee = std::nullopt}, 1, false, 0,
     0, 0, 0},
    {"RoundingLiftsAnOldNegativeBalance", {.id = 17, .money = -300}, 1, true, 0, 0, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Charge, ChargeCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ChargePassTest : public DatabaseTest {};

TEST_F(ChargePassTest, ChargesOnlySwitchedOnSubscribersInIdOrder) {
    addCatalogue();
    addSubscriber({.id = 30, .money = 1000, .words = {{1, 0x1}}});
    addSubscriber({.id = 10, .money = 1000, .lock = 0, .words = {{1, 0x1}}});
    addSubscriber({.id = 20, .money = 1000, .words = {{1, 0x3}}});
    ChargePass pass;
    pass.chunkSize = 1;
    EXPECT_EQ(pass.run(PassMark{2, QDate(2024, 5, 1)}), 2);
    EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=10")), 1000);
    QSqlQuery q = exec(QStringLiteral("select id_abona, summa from prihod_rashod order by nomer_operacii"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 20);
    EXPECT_EQ(q.value(1).toInt(), -240);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 30);
    EXPECT_FALSE(q.next());
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(id_abona order by nomer_operacii) from tmp_ot4et")).toString(),
              QStringLiteral("20,30"));
}

// Amounts beyond the 32-bit columns stop the pass before anything is written, also for other subscribers.
TEST_F(ChargePassTest, OutOfRangeAmountsWriteNothing) {
    struct {
        const char* name;
        Subscriber subscriber;
        qint64 coef;
        int blamed;
    } cases[] = {
        {"product", {.id = 2, .money = 0, .feeFlag = 1, .fee = 2000000000}, 2, 2},
        {"balance", {.id = 2, .money = -2147483000, .feeFlag = 1, .fee = 1000}, 1, 2},
        {"credit", {.id = 2, .money = 2147483000, .feeFlag = 1, .fee = -1000}, 1, 2},
        {"coef", {.id = 2, .money = 10, .words = {{1, 0x1}}}, qint64(1) << 32, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recreateDatabase();
        addCatalogue();
        addSubscriber({.id = 1, .money = 1000, .words = {{1, 0x1}}});
        addSubscriber(c.subscriber);
        ChargePass pass;
        pass.coef = c.coef;
        try {
            pass.run(PassMark{2, QDate(2024, 5, 1)});
            ADD_FAILURE() << "no error";
        } catch (const BillingError& e) {
            EXPECT_TRUE(e.text().startsWith(QStringLiteral("Ошибка! Сумма списания или баланс абонента %1 ").arg(c.blamed)))
                << e.text().toStdString();
        }
        EXPECT_EQ(intOf(QStringLiteral("select money from abons where Id=1")), 1000);
        EXPECT_EQ(intOf(QStringLiteral("select count(*) from prihod_rashod")), 0);
        EXPECT_EQ(intOf(QStringLiteral("select count(*) from tmp_ot4et")), 0);
        EXPECT_EQ(intOf(QStringLiteral("select count(*) from spisanie")), 1);
    }
}

}  // namespace
}  // namespace kavrin::test
