// The reload rebuilds the slot map and the queue from the whole register.
#include "RegisterFixture.h"

#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"

using namespace kavrin;
using namespace kavrin::test;

class RegisterReloadTest : public RegisterTest {
protected:
    // Records what the progress line was told.
    ReloadProgress recorder() {
        return {[this](int total) { events << QStringLiteral("started %1").arg(total); },
                [this](int handled) { events << QStringLiteral("at %1").arg(handled); },
                [this] { events << QStringLiteral("finished"); }};
    }
    QStringList events;
};

TEST_F(RegisterReloadTest, EmptyRegisterEmptiesMapAndQueueWithoutProgress) {
    insertSlot(1, 1, 5);
    insertSlot(2, 0, 6);
    exec(QStringLiteral("insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest) values (0,0,3,2)"));
    openRegister();
    reg->N6Click(recorder());
    EXPECT_TRUE(slotMap().empty());
    EXPECT_TRUE(queuedTasks().empty());
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(RegisterReloadTest, EverySubscriberGetsSlotKAndOneTaskInRegisterOrder) {
    const int package = insertPackage(QStringLiteral("Спорт"), {{3, 0x0F}, {64, 1}});
    insertSubscriber(10, 1, 100, {{1, 0x7FFF}, {63, 2}});
    insertSubscriber(20, 0, -50, {{1, 1}});
    insertSubscriber(30, 1, 70, {{1, 1}}, 1, package);
    insertSubscriber(40, 1, 80, {{1, 1}}, 1, package + 1);  // its package is gone: a slot, no task
    // Whatever the map and the queue held before is discarded.
    insertSlot(1, 1, 40);
    insertSlot(2, 0, 10);
    exec(QStringLiteral("insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest) values (1,40,2,2)"));
    openRegister();
    reg->N6Click(recorder());

    EXPECT_EQ(slotMap(), (std::vector<std::array<int, 3>>{{1, 1, 10}, {2, 1, 20}, {3, 1, 30}, {4, 1, 40}}));
    EXPECT_EQ(queuedTasks(), (std::vector<TaskRow>{fullRecord(1, 10, 1, {{1, 0x7FFF}, {63, 2}}, 100),
                                                   allOffRecord(2, 20, 2, -50),
                                                   fullRecord(3, 30, 3, {{3, 0x0F}, {64, 1}}, 70)}));
    EXPECT_EQ(events, (QStringList{"started 4", "at 4", "finished"}));
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // Run again on the same register: the same slots, the same queue.
    const auto slotsBefore = slotMap();
    const auto tasksBefore = queuedTasks();
    reg->N6Click();
    EXPECT_EQ(slotMap(), slotsBefore);
    EXPECT_EQ(queuedTasks(), tasksBefore);
}

TEST_F(RegisterReloadTest, TheGridFilterDoesNotLimitIt) {
    for (int id : {1, 2, 3}) insertSubscriber(id, 1, 0);
    openRegister();
    DataSetModel model(ds->abons, {{QStringLiteral("Id"), QStringLiteral("ID")}});
    FilterProxyModel view;
    view.setSourceModel(&model);
    view.setFilter(FilterGroup{false, {FilterCondition{QStringLiteral("Id"), FilterOperator::Equal, 2, {}}}, {}});
    ASSERT_EQ(view.rowCount(), 1);
    reg->N6Click();
    EXPECT_EQ(slotMap().size(), 3u);
    EXPECT_EQ(queuedTasks().size(), 3u);
}

TEST_F(RegisterReloadTest, ChangesWaitingInTheRegisterGoOutFirst) {
    insertSubscriber(1, 1, 0, {{2, 6}});
    openRegister();
    reg->abon_saving = 1;  // a change made by code that does its own device work, not yet applied
    ds->abons.setValue(QStringLiteral("money"), 4200);
    ds->abons.post();
    reg->abon_saving = 0;
    reg->N6Click();
    EXPECT_EQ(queuedTasks(), std::vector<TaskRow>{fullRecord(1, 1, 1, {{2, 6}}, 4200)});
    EXPECT_EQ(scalar(QStringLiteral("select money from abons")).toInt(), 4200);
}

TEST_F(RegisterReloadTest, LargeRegisterKeepsOrderAcrossBatches) {
    QStringList values;
    for (int id = 1; id <= 2500; ++id) values << QStringLiteral("(%1,%2,%1)").arg(id * 3).arg(id % 7 == 0 ? 0 : 1);
    exec(QStringLiteral("insert into abons (Id,`lock`,money) values ") + values.join(QLatin1Char(',')));
    openRegister();
    reg->N6Click(recorder());
    EXPECT_EQ(events, (QStringList{"started 2500", "at 1000", "at 2000", "at 2500", "finished"}));
    const auto tasks = queuedTasks();
    const auto map = slotMap();
    ASSERT_EQ(tasks.size(), 2500u);
    ASSERT_EQ(map.size(), 2500u);
    for (int k = 1; k <= 2500; ++k) {
        const TaskRow& t = tasks[size_t(k - 1)];
        ASSERT_EQ(map[size_t(k - 1)], (std::array<int, 3>{k, 1, k * 3}));
        ASSERT_EQ(t[0], k);
        ASSERT_EQ(t[1], k * 3);
        ASSERT_EQ(t[3], k);
        ASSERT_EQ(t[68], k * 3);
    }
}
