// The channel table editor's dataset rules against the real database.
#include "catalogue/ChannelTable.h"
#include "data/ClientDataSet.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

using namespace kavrin;
using namespace kavrin::test;

namespace {

class ChannelTableTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        ds.open();
    }

    ScriptedDialogs dialogs;
    ClientDataSet ds{QStringLiteral("select * from kanals")};
    ChannelTable table{ds};
};

}  // namespace

TEST_F(ChannelTableTest, NewRowIsStoredAsStreamZeroWithEmptyPositions) {
    ds.append();
    ds.post();

    EXPECT_TRUE(dialogs.messages().isEmpty());  // 0 passes the check
    QString check = QStringLiteral("select count(*) from kanals where NStream = 0");
    for (int j = 0; j < 16; ++j) check += QStringLiteral(" and kan_%1 = '-' and kod_%1 = 0").arg(j);
    for (int j = 0; j < 15; ++j) check += QStringLiteral(" and cena_%1 = 0").arg(j);
    EXPECT_EQ(scalar(check).toInt(), 1);
}

TEST_F(ChannelTableTest, WrongStreamNumberIsReportedAndStoredAnyway) {
    int focused = 0;
    table.wrongStreamShown = [&] { ++focused; };
    ds.append();
    ds.setValue("NStream", 63);
    ds.setValue("kan_0", "Первый");
    ds.post();

    EXPECT_EQ(dialogs.messages(), QStringList{"Внимание! Неправильно введён номер ствола! (63)"});
    EXPECT_EQ(focused, 1);
    EXPECT_EQ(scalar("select kan_0 from kanals where NStream = 63").toString(), "Первый");
}

TEST_F(ChannelTableTest, PendingEditsAreStoredBeforeTheMapIsBuilt) {
    exec("insert into kanals (NStream, kod_0) values (1, 1), (2, 0), (5, 0)");
    ds.refresh();
    ASSERT_TRUE(ds.locate("NStream", 2));
    ds.setValue("kod_3", 1);  // ticked in the grid, not yet posted

    table.encode();

    EXPECT_EQ(scalar("select kod_3 from kanals where NStream = 2").toInt(), 1);
    EXPECT_EQ(scalar("select concat_ws(',', `64_1`, `64_2`, `64_3`, `64_5`, `64_64`) from zadaniya").toString(),
              "1,8,0,0,5");
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds.changeCount(), 0);
}

TEST_F(ChannelTableTest, DeletedStreamIsStoredWithTheNextApply) {
    exec("insert into kanals (NStream, kan_0) values (1, 'A'), (1, 'A'), (2, 'B')");
    ds.refresh();
    ASSERT_TRUE(ds.locate("NStream", 1));
    ds.deleteRecord();

    EXPECT_EQ(dialogs.messages(),
              QStringList{"После удаления ствола, для корректнго отображения - желательно перезапустить программу."});
    EXPECT_EQ(scalar("select count(*) from kanals").toInt(), 3);
    table.storePending();
    // Of two identical rows exactly one goes.
    EXPECT_EQ(scalar("select count(*) from kanals where NStream = 1").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from kanals").toInt(), 2);
}
