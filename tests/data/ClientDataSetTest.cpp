// Reading, navigating and editing rows in memory, and the events the screens hook.
#include "common/MoneyText.h"
#include "data/ClientDataSet.h"
#include "data/Sql.h"
#include "support/TestDatabase.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace kavrin;
using kavrin::test::exec;

namespace {

class DataSetTest : public kavrin::test::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        exec("insert into street (Id, Name_Street) values (1, 'Садовая'), (2, 'Лесная')");
        exec("insert into abons (Id, Name1, N_Street, Data_Create, `lock`, money, 64_1, 64_64) values "
             "(5, 'Иванов', 1, '2024-03-01', 1, 1250, 65535, 7), "
             "(7, 'Петров', 2, '2024-03-02', 0, -75, 0, 0), "
             "(9, 'Сидоров', 1, NULL, 1, 0, 1, 0)");
    }
};

}  // namespace

TEST_F(DataSetTest, OpenReadsTypedValuesNullsAndLongText) {
    const QString longText = QString(5000, QChar(0x0416)) + "end";  // Cyrillic, well beyond any fixed width
    exec("update abons set selected_paket='" + longText + "', Name2=NULL where Id=9");
    ClientDataSet ds("select * from abons");
    ds.open();
    ASSERT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.fieldCount(), 82);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.fieldIndex("ID"), ds.fieldIndex("Id"));  // names compare without regard to case
    EXPECT_EQ(ds.fieldIndex("no_such"), -1);
    EXPECT_EQ(ds.value("Name1").toString(), "Иванов");
    EXPECT_EQ(ds.value("64_1").toInt(), 65535);  // unsigned word at its top
    EXPECT_EQ(ds.value("Data_Create").toDate(), QDate(2024, 3, 1));
    EXPECT_EQ(ds.value(1, ds.fieldIndex("money")).toInt(), -75);
    EXPECT_TRUE(ds.value(0, ds.fieldIndex("Name2")).isNull());
    EXPECT_TRUE(ds.value(2, ds.fieldIndex("Data_Create")).isNull());
    EXPECT_EQ(ds.value(2, ds.fieldIndex("selected_paket")).toString(), longText);
    EXPECT_EQ(ds.value(2, ds.fieldIndex("flag_packet_prioritet")).toInt(), 0);
    EXPECT_THROW(ds.value("no_such"), DatabaseError);
}

TEST_F(DataSetTest, ParametersAreBoundNotSpliced) {
    ClientDataSet ds("select * from abons where Name1 = ? or Id = ?");
    ds.setParams({QString("x' or '1'='1"), 7});
    ds.open();
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.value("Id").toInt(), 7);
}

TEST_F(DataSetTest, NavigationAndEndMarks) {
    ClientDataSet ds("select * from abons");
    ds.open();
    QList<int> seen;
    for (ds.first(); !ds.eof(); ds.next()) seen << ds.value("Id").toInt();
    EXPECT_EQ(seen, (QList<int>{5, 7, 9}));
    EXPECT_EQ(ds.recNo(), 3);
    ds.prior();
    EXPECT_EQ(ds.recNo(), 2);
    ds.first();
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.recNo(), 1);
    ds.setRecNo(99);
    EXPECT_EQ(ds.recNo(), 3);

    ClientDataSet empty("select * from abons where Id < 0");
    empty.open();
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.recNo(), 0);
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.bof());
    EXPECT_TRUE(empty.value("Name1").isNull());
    EXPECT_THROW(empty.deleteRecord(), DatabaseError);
}

TEST_F(DataSetTest, LocateByNumberTextAndDate) {
    ClientDataSet ds("select * from abons");
    ds.open();
    EXPECT_TRUE(ds.locate("Id", 9));
    EXPECT_EQ(ds.recNo(), 3);
    EXPECT_TRUE(ds.locate("name1", "Петров"));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_TRUE(ds.locate("Data_Create", QDate(2024, 3, 1)));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_TRUE(ds.locate("Id", "7"));  // text given for a number field
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_FALSE(ds.locate("Id", 6));
    EXPECT_FALSE(ds.locate("Id", "abc"));
    EXPECT_FALSE(ds.locate("Name1", "петров"));  // exact match
    EXPECT_EQ(ds.recNo(), 2);                    // a miss does not move
}

TEST_F(DataSetTest, EditBufferPostAndCancel) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setValue("Name1", "Новиков");  // starts editing on its own
    EXPECT_EQ(ds.state(), ClientDataSet::State::Edit);
    EXPECT_EQ(ds.value("Name1").toString(), "Новиков");
    EXPECT_EQ(ds.value(0, ds.fieldIndex("Name1")).toString(), "Новиков");  // grids show the buffer
    ds.cancel();
    EXPECT_EQ(ds.value("Name1").toString(), "Иванов");
    EXPECT_EQ(ds.changeCount(), 0);

    ds.setValue("Name1", "Новиков");
    ds.next();  // leaving the record posts it
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds.value(0, ds.fieldIndex("Name1")).toString(), "Новиков");
    EXPECT_EQ(ds.changeCount(), 1);
    EXPECT_EQ(kavrin::test::scalar("select Name1 from abons where Id=5").toString(), "Иванов");  // not yet applied
}

TEST_F(DataSetTest, RefusedValuesLeaveTheRecordAsItWas) {
    ClientDataSet ds("select * from abons");
    ds.open();
    struct Case {
        const char* field;
        QVariant value;
    } refused[] = {
        {"money", "abc"}, {"money", 2.5}, {"64_1", 65536}, {"64_1", -1}, {"lock", 40000},
        {"flag_packet_prioritet", 256}, {"Data_Create", "31.02.2024"}, {"id_selected_packet", -5},
    };
    for (const Case& c : refused) EXPECT_THROW(ds.setValue(c.field, c.value), DatabaseError) << c.field;
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds.value("money").toInt(), 1250);

    ds.setValue("money", "-12");  // typed text converts
    ds.setValue("64_1", 65535);
    ds.setValue("Data_Create", "05.04.2024");  // the short date of the locale
    ds.setValue("Name2", QVariant());
    EXPECT_EQ(ds.value("money").toInt(), -12);
    EXPECT_EQ(ds.value("Data_Create").toDate(), QDate(2024, 4, 5));
    EXPECT_TRUE(ds.value("Name2").isNull());
}

TEST_F(DataSetTest, InsertAppendAndCancelOfANewRecord) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setRecNo(2);
    ds.insert();
    EXPECT_EQ(ds.state(), ClientDataSet::State::Insert);
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.recNo(), 2);  // before the current record
    EXPECT_TRUE(ds.value("Id").isNull());
    ds.cancel();
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.value("Id").toInt(), 7);

    ds.append();
    EXPECT_EQ(ds.recNo(), 4);
    ds.setValue("Id", 20);
    ds.post();
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.value("Id").toInt(), 20);
    EXPECT_EQ(ds.changeCount(), 1);

    ds.append();
    ds.first();  // an untouched new record is dropped, not posted
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.changeCount(), 1);
}

TEST_F(DataSetTest, EventsRunInOrderAndBeforeEventsCanRefuse) {
    ClientDataSet ds("select * from abons");
    QStringList log;
    auto record = [&log](const char* name) { return [&log, name](ClientDataSet&) { log << name; }; };
    ds.afterOpen = record("afterOpen");
    ds.afterScroll = record("afterScroll");
    ds.beforeInsert = record("beforeInsert");
    ds.afterInsert = record("afterInsert");
    ds.afterEdit = record("afterEdit");
    ds.beforePost = record("beforePost");
    ds.afterPost = record("afterPost");
    ds.afterCancel = record("afterCancel");
    ds.beforeDelete = record("beforeDelete");
    ds.afterDelete = record("afterDelete");

    ds.open();
    ds.setValue("Name1", "x");
    ds.setValue("Name2", "y");  // already editing: no second afterEdit
    ds.post();
    ds.append();
    ds.cancel();
    ds.deleteRecord();
    EXPECT_EQ(log, (QStringList{"afterOpen", "afterScroll", "afterEdit", "beforePost", "afterPost", "beforeInsert",
                                "afterInsert", "afterScroll", "afterCancel", "afterScroll", "beforeDelete",
                                "afterDelete", "afterScroll"}));

    ds.beforePost = [](ClientDataSet&) { throw DatabaseError("нельзя"); };
    ds.setValue("Name1", "z");
    EXPECT_THROW(ds.post(), DatabaseError);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Edit);  // still editing, nothing lost
    EXPECT_EQ(ds.value("Name1").toString(), "z");
    ds.cancel();

    const int rows = ds.recordCount();
    ds.beforeDelete = [](ClientDataSet&) { throw DatabaseError("нельзя"); };
    EXPECT_THROW(ds.deleteRecord(), DatabaseError);
    EXPECT_EQ(ds.recordCount(), rows);
    ds.beforeInsert = [](ClientDataSet&) { throw DatabaseError("нельзя"); };
    EXPECT_THROW(ds.append(), DatabaseError);
    EXPECT_EQ(ds.recordCount(), rows);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
}

TEST_F(DataSetTest, AfterInsertMayCancelAndBeforeInsertMayReopen) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.setRecNo(3);
    // The register tests a new number by reading it from the database inside beforeInsert.
    ds.beforeInsert = [](ClientDataSet& d) {
        exec("insert into abons (Id, Name1) values (6, 'Другой клиент')");
        d.close();
        d.setCommandText("select * from abons where Id=6");
        d.open();
        d.close();
        d.setCommandText("select * from abons");
        d.open();
    };
    ds.afterInsert = [](ClientDataSet& d) { d.setValue("Id", 30); };
    ds.insert();
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_EQ(ds.recNo(), 1);  // the reopened dataset stood on its first row
    ds.post();
    EXPECT_EQ(ds.value("Id").toInt(), 30);

    ds.beforeInsert = nullptr;
    ds.afterInsert = [](ClientDataSet& d) { d.cancel(); };
    ds.append();
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds.recordCount(), 5);
}

TEST_F(DataSetTest, DeleteWhileEditingSeesTheEditAndDropsIt) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ClientDataSet::State seen = ClientDataSet::State::Inactive;
    ds.beforeDelete = [&seen](ClientDataSet& d) { seen = d.state(); };
    ds.setValue("Name1", "x");
    ds.deleteRecord();
    EXPECT_EQ(seen, ClientDataSet::State::Edit);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.value("Id").toInt(), 7);
    ds.last();
    ds.deleteRecord();
    EXPECT_EQ(ds.value("Id").toInt(), 7);  // the last row gone: the one before it is current
}

TEST_F(DataSetTest, CalculatedFieldFollowsTheRowAndIsNeverWritten) {
    ClientDataSet ds("select * from abons");
    ds.addCalculatedField("money_new", [](const ClientDataSet& d, int row) {
        return money_text(d.value(row, d.fieldIndex("money")));
    });
    ds.open();
    const int f = ds.fieldIndex("money_new");
    ASSERT_EQ(f, 82);
    EXPECT_TRUE(ds.isCalculated(f));
    EXPECT_EQ(ds.value("money_new").toString(), "12,5");
    EXPECT_EQ(ds.value(1, f).toString(), "-0,75");
    ds.setValue("money", 100);
    EXPECT_EQ(ds.value("money_new").toString(), "1");  // computed from the edit buffer
    EXPECT_THROW(ds.setValue("money_new", "5"), DatabaseError);
    ds.post();
    ds.applyUpdates();
    EXPECT_EQ(kavrin::test::scalar("select money from abons where Id=5").toInt(), 100);
    ds.close();
    ds.open();  // survives reopening
    EXPECT_EQ(ds.fieldIndex("money_new"), 82);
}

TEST_F(DataSetTest, RefreshKeepsTheRecordByKeyAndRefusesToDropPendingChanges) {
    ClientDataSet ds("select * from abons");
    ds.open();
    ds.locate("Id", 7);
    exec("insert into abons (Id, Name1) values (6, 'Новый'), (1, 'Первый')");
    exec("update abons set Name1='Петров-Водкин' where Id=7");
    ds.refresh();
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_EQ(ds.value("Id").toInt(), 7);
    EXPECT_EQ(ds.recNo(), 4);
    EXPECT_EQ(ds.value("Name1").toString(), "Петров-Водкин");

    exec("delete from abons where Id=7");
    ds.refresh();
    EXPECT_EQ(ds.recNo(), 4);  // gone: the same record number
    EXPECT_EQ(ds.value("Id").toInt(), 9);

    ds.setValue("Name1", "x");
    EXPECT_THROW(ds.refresh(), DatabaseError);
    EXPECT_EQ(ds.changeCount(), 1);
    EXPECT_EQ(ds.value("Name1").toString(), "x");
}

TEST_F(DataSetTest, ABrokenQueryLeavesTheDatasetClosed) {
    ClientDataSet ds("select * from no_such_table");
    EXPECT_THROW(ds.open(), DatabaseError);
    EXPECT_FALSE(ds.isOpen());
    EXPECT_THROW(ds.setValue("x", 1), DatabaseError);
}

TEST_F(DataSetTest, StreamedAndPreparedReadsGiveTheSameTypesAndValues) {
    // Statements without bound values are streamed from the client library; with them they go through Qt.
    exec("update abons set selected_paket='Пакет «Базовый»', Drob='' where Id=5");
    exec("insert into prihod_rashod (id_abona, tip_operacii, summa, posle_oplati, date) values "
         "(5, 1, 100, 100, '2024-02-29 23:59:58'), (7, 2, -5, 0, '2024-03-01 00:00:00')");
    exec("insert into spisanie values (2, NULL, '23:15:07')");
    for (const char* table : {"abons", "prihod_rashod", "spisanie", "config", "pakets"}) {
        ClientDataSet streamed(QString("select * from %1").arg(table));
        ClientDataSet prepared(QString("select * from %1 where 1 = ?").arg(table));
        prepared.setParams({1});
        streamed.open();
        prepared.open();
        ASSERT_EQ(streamed.fieldCount(), prepared.fieldCount()) << table;
        ASSERT_EQ(streamed.recordCount(), prepared.recordCount()) << table;
        for (int f = 0; f < streamed.fieldCount(); ++f) {
            EXPECT_EQ(streamed.fieldType(f), prepared.fieldType(f)) << table << "." << streamed.fieldName(f).toStdString();
            for (int r = 0; r < streamed.recordCount(); ++r) {
                const QVariant a = streamed.value(r, f), b = prepared.value(r, f);
                EXPECT_TRUE(a == b && a.isNull() == b.isNull())
                    << table << "." << streamed.fieldName(f).toStdString() << " row " << r << ": "
                    << a.toString().toStdString() << " / " << b.toString().toStdString();
            }
        }
    }
}

TEST_F(DataSetTest, TextLongerThanItsColumnIsRefusedWhenSet) {
    ClientDataSet ds("select * from abons");
    ds.open();
    const QString twenty(20, QChar(0x0429));  // Cyrillic: 20 characters, 40 bytes
    ds.setValue("Name1", twenty);
    EXPECT_THROW(ds.setValue("Name1", twenty + "Щ"), DatabaseError);
    EXPECT_EQ(ds.value("Name1").toString(), twenty);
    ds.setValue("selected_paket", QString(3000, 'x'));  // long text: no such limit
    ds.applyUpdates();
    EXPECT_EQ(kavrin::test::scalar("select Name1 from abons where Id=5").toString(), twenty);
}
