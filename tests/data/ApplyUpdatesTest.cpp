// Sending the change log to the database: by key where the table has one, by all original values where not,
// all or nothing.
#include "data/ClientDataSet.h"
#include "data/Sql.h"
#include "support/TestDatabase.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

using namespace kavrin;
using kavrin::test::exec;
using kavrin::test::scalar;

namespace {

class ApplyTest : public kavrin::test::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        exec("insert into abons (Id, Name1, Tel, `lock`, money) values (5, 'Иванов', '111', 1, 1250), "
             "(7, 'Петров', '222', 0, -75), (9, 'Сидоров', NULL, 1, 0)");
    }
    static int count(const QString& where) { return scalar("select count(*) from " + where).toInt(); }
};

}  // namespace

TEST_F(ApplyTest, UpdatesInsertsAndDeletesNameTheRowByItsKey) {
    ClientDataSet ds("select * from abons");
    ds.open();
    EXPECT_EQ(ds.keyFields(), QStringList{"Id"});
    // A change made by someone else to another column is not overwritten: only changed columns are sent.
    exec("update abons set Tel='999' where Id=5");
    ds.setValue("Name1", "Иванова");
    ds.setValue("money", 2000);
    ds.setValue("64_64", 65535);
    ds.post();
    ds.locate("Id", 7);
    ds.deleteRecord();
    ds.append();
    ds.setValue("Id", 2147483647);
    ds.setValue("Name1", "Новый");
    ds.setValue("Data_Create", QDate(2025, 1, 31));
    ds.post();
    EXPECT_EQ(ds.changeCount(), 3);
    ds.applyUpdates();

    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(scalar("select concat(Name1, '|', Tel, '|', money, '|', 64_64) from abons where Id=5").toString(),
              "Иванова|999|2000|65535");
    EXPECT_EQ(count("abons where Id=7"), 0);
    EXPECT_EQ(scalar("select Name1 from abons where Id=2147483647").toString(), "Новый");
    EXPECT_EQ(scalar("select Data_Create from abons where Id=2147483647").toDate(), QDate(2025, 1, 31));
    // Columns the new row left empty took the table's defaults.
    EXPECT_EQ(scalar("select `lock` from abons where Id=2147483647").toInt(), 0);
    EXPECT_EQ(scalar("select flag_packet_prioritet from abons where Id=2147483647").toInt(), 0);
    EXPECT_EQ(count("abons"), 3);
    EXPECT_EQ(ds.value("Id").toInt(), 2147483647);
    EXPECT_EQ(ds.value("lock").toInt(), 0);  // and the record shows them
    EXPECT_FALSE(ds.value("lock").isNull());
}

TEST_F(ApplyTest, ChangingTheKeyRenamesTheRowFoundByItsOldKey) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.locate("Id", 5);
    ds.setValue("Id", 6);
    ds.post();
    // The freed number is taken by a new row in the same batch.
    ds.append();
    ds.setValue("Id", 5);
    ds.setValue("Name1", "Новый");
    ds.post();
    ds.applyUpdates();
    EXPECT_EQ(scalar("select Name1 from abons where Id=6").toString(), "Иванов");
    EXPECT_EQ(scalar("select Name1 from abons where Id=5").toString(), "Новый");
    ds.refresh();
    EXPECT_EQ(ds.recordCount(), 4);
}

TEST_F(ApplyTest, NullsAreWrittenAndMatched) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setValue("Tel", QVariant());
    ds.post();
    ds.locate("Id", 9);
    ds.setValue("Tel", "333");
    ds.post();
    ds.applyUpdates();
    EXPECT_TRUE(scalar("select Tel from abons where Id=5").isNull());
    EXPECT_EQ(scalar("select Tel from abons where Id=9").toString(), "333");
}

TEST_F(ApplyTest, AutoIncrementKeyAndDefaultDateComeFromTheDatabase) {
    exec("insert into prihod_rashod (id_abona, tip_operacii, summa, posle_oplati, date) values "
         "(5, 1, 100, 100, NOW())");
    ClientDataSet journal("select * from prihod_rashod where TO_DAYS(NOW()) - TO_DAYS(date) <= 10");
    journal.open();
    const QDateTime before = QDateTime::currentDateTime().addSecs(-5);
    journal.last();
    journal.append();
    journal.setValue("id_abona", 5);
    journal.setValue("tip_operacii", 2);
    journal.setValue("summa", -50);
    journal.setValue("posle_oplati", 50);
    journal.post();
    journal.applyUpdates();
    const int key = journal.value("nomer_operacii").toInt();
    EXPECT_GT(key, 0);
    EXPECT_GE(journal.value("date").toDateTime(), before);  // the record shows the moment the table gave it
    EXPECT_EQ(journal.value("kanals_count").toInt(), 0);
    EXPECT_EQ(scalar("select summa from prihod_rashod where nomer_operacii=" + QString::number(key)).toInt(), -50);
    EXPECT_GE(scalar("select date from prihod_rashod where nomer_operacii=" + QString::number(key)).toDateTime(), before);
    // With its key known the new row can be changed again by key.
    journal.setValue("summa", -60);
    journal.applyUpdates();  // posts the pending edit first
    EXPECT_EQ(scalar("select summa from prihod_rashod where nomer_operacii=" + QString::number(key)).toInt(), -60);
    EXPECT_EQ(count("prihod_rashod"), 2);
}

TEST_F(ApplyTest, KeylessTableMatchesOneRowOnAllItsOriginalValues) {
    exec("delete from tip_operaciy_money");
    exec("insert into tip_operaciy_money values (1, 'Пополнение счёта'), (1, 'Пополнение счёта'), (2, NULL)");
    ClientDataSet ds("select * from tip_operaciy_money");
    ds.open();
    EXPECT_TRUE(ds.keyFields().isEmpty());
    ds.setValue("name_operacii", "Оплата");  // one of two identical rows
    ds.post();
    ds.locate("Id_operacii", 2);  // matched with "is null"
    ds.setValue("name_operacii", "Списание средств");
    ds.post();
    ds.applyUpdates();
    EXPECT_EQ(count("tip_operaciy_money where name_operacii='Оплата'"), 1);
    EXPECT_EQ(count("tip_operaciy_money where name_operacii='Пополнение счёта'"), 1);
    EXPECT_EQ(count("tip_operaciy_money where Id_operacii=2 and name_operacii='Списание средств'"), 1);

    ds.first();
    ds.deleteRecord();
    ds.applyUpdates();
    EXPECT_EQ(count("tip_operaciy_money"), 2);
    EXPECT_EQ(count("tip_operaciy_money where name_operacii='Пополнение счёта'"), 1);
}

TEST_F(ApplyTest, KeylessChannelRowsByAllValues) {
    exec("insert into kanals (NStream, kan_0, kod_0, cena_0) values (1, 'Первый', 1, 500), (2, 'Второй', 0, 0)");
    ClientDataSet ds("select * from kanals");
    ds.open();
    ds.locate("NStream", 2);
    ds.setValue("kan_0", "Новости");
    ds.setValue("kod_0", 1);
    ds.post();
    ds.applyUpdates();
    EXPECT_EQ(scalar("select concat(kan_0, kod_0) from kanals where NStream=2").toString(), "Новости1");
    EXPECT_EQ(scalar("select kan_0 from kanals where NStream=1").toString(), "Первый");
}

TEST_F(ApplyTest, ARowChangedByAnotherUserIsReportedNotSilentlyLost) {
    exec("insert into kanals (NStream, kan_0) values (1, 'Первый')");
    ClientDataSet ds("select * from kanals");
    ds.open();
    exec("update kanals set kan_0='Чужая правка'");
    ds.setValue("kan_0", "Моя правка");
    ds.post();
    EXPECT_THROW(ds.applyUpdates(), DatabaseError);
    EXPECT_EQ(ds.changeCount(), 1);  // still pending, can be retried or cancelled

    ClientDataSet abons("select * from abons");
    abons.open();
    exec("delete from abons where Id=5");
    abons.setValue("Name1", "x");
    abons.post();
    EXPECT_THROW(abons.applyUpdates(), DatabaseError);
    EXPECT_EQ(abons.changeCount(), 1);
}

TEST_F(ApplyTest, AFailedApplyWritesNothingAndKeepsEveryChange) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setValue("money", 1);
    ds.post();
    ds.append();
    ds.setValue("Id", 7);  // taken: the insert fails
    ds.post();
    EXPECT_THROW(ds.applyUpdates(), DatabaseError);
    EXPECT_EQ(scalar("select money from abons where Id=5").toInt(), 1250);  // the update before it rolled back
    EXPECT_EQ(ds.changeCount(), 2);
    EXPECT_FALSE(Transaction::active());

    ds.setValue("Id", 8);
    ds.post();
    ds.applyUpdates();  // the retry sends both
    EXPECT_EQ(scalar("select money from abons where Id=5").toInt(), 1);
    EXPECT_EQ(count("abons where Id=8"), 1);
}

TEST_F(ApplyTest, JoinsTheCallersTransaction) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setValue("money", 1);
    ds.post();
    {
        Transaction outer;
        execSql("update abons set money=money+1 where Id=7");
        ds.applyUpdates();
        // Left without commit: both writes roll back together.
    }
    EXPECT_EQ(scalar("select money from abons where Id=5").toInt(), 1250);
    EXPECT_EQ(scalar("select money from abons where Id=7").toInt(), -75);

    {
        Transaction outer;
        {
            Transaction inner;  // a part that failed
        }
        EXPECT_THROW(outer.commit(), DatabaseError);
    }
    EXPECT_FALSE(Transaction::active());
}

TEST_F(ApplyTest, CancelUpdatesRestoresEveryRecord) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setValue("Name1", "x");
    ds.post();
    ds.locate("Id", 7);
    ds.deleteRecord();
    ds.append();
    ds.setValue("Id", 11);
    ds.post();
    ds.first();
    ds.setValue("Name1", "y");  // modified twice, then deleted
    ds.post();
    ds.deleteRecord();
    ds.cancelUpdates();
    EXPECT_EQ(ds.changeCount(), 0);
    ASSERT_EQ(ds.recordCount(), 3);
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next()) names << ds.value("Name1").toString();
    EXPECT_EQ(names, (QStringList{"Иванов", "Петров", "Сидоров"}));
}

TEST_F(ApplyTest, AQueryWithoutATableCannotBeApplied) {
    ClientDataSet ds("select 1 as n");
    ds.open();
    ds.setValue("n", 2);
    ds.post();
    EXPECT_THROW(ds.applyUpdates(), DatabaseError);
    EXPECT_EQ(ds.changeCount(), 1);
}

TEST_F(ApplyTest, ManyNewRowsGoOutTogetherWithEveryValueAndDefaultShownBack) {
    // More rows than one bulk execution takes, with a stretch that leaves other columns empty (another
    // statement text) in the middle, text that needs quoting, dates and unsigned words.
    exec("delete from abons");
    ClientDataSet ds("select * from abons");
    ds.open();
    for (int id = 1; id <= 2300; ++id) {
        ds.append();
        ds.setValue("Id", id);
        if (id < 1000 || id >= 1100) ds.setValue("Name1", QStringLiteral("О'Брайен \"%1\"").arg(id));
        ds.setValue("Data_Create", QDate(2013, 2, 1).addDays(id % 28));
        ds.setValue("64_64", 65535 - id);
        ds.post();
    }
    ds.applyUpdates();
    EXPECT_EQ(count("abons"), 2300);
    EXPECT_EQ(count("abons where Name1 is null"), 100);
    EXPECT_EQ(count("abons where Id not between 1000 and 1099 and Name1 = concat('О''Брайен \"', Id, '\"')"), 2200);
    EXPECT_EQ(count("abons where Data_Create = date_add('2013-02-01', interval Id % 28 day) and 64_64 = 65535 - Id"), 2300);
    // The table's defaults are shown in the records without a refresh.
    ds.locate("Id", 2300);
    EXPECT_EQ(ds.value("flag_packet_prioritet").toInt(), 0);
    EXPECT_FALSE(ds.value("lock").isNull());
}
