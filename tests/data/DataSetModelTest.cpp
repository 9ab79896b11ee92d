// The grid's model and its view filter over a dataset.
#include "common/MoneyText.h"
#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace kavrin;
using kavrin::test::exec;

namespace {

class ModelTest : public kavrin::test::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        exec("insert into street (Id, Name_Street) values (1, 'Садовая'), (2, 'Садовый проезд'), (3, 'Лесная')");
        exec("insert into abons (Id, Name1, N_Street, Data_Create, `lock`, money) values "
             "(5, 'Иванов', 1, '2024-03-01', 1, 1250), (7, 'Петров', 2, '2024-03-02', 0, -75), "
             "(9, 'Иванченко', 3, '2024-03-01', 0, 1250), (11, 'Сидоров', NULL, NULL, 1, 0)");
        abons.addCalculatedField("money_new", [](const ClientDataSet& d, int row) {
            return money_text(d.value(row, d.fieldIndex("money")));
        });
        abons.open();
        streets.open();
        model.setColumns({{"Id", "ID", 61, EditorKind::Text, true},
                          {"Name1", "Фамилия", 125},
                          DataSetColumn::lookup("N_Street", "Улица", 109, streets, "Id", "Name_Street"),
                          {"Data_Create", "Дата", 81, EditorKind::Date},
                          {"lock", "Вкл", 48, EditorKind::CheckBox},
                          {"money_new", "Счёт", 44, EditorKind::Calculated}});
        proxy.setSourceModel(&model);
    }
    QVariant cell(int row, const char* field, int role = Qt::DisplayRole) {
        return model.data(model.index(row, model.columnOf(field)), role);
    }
    QList<int> shownIds() {
        QList<int> ids;
        for (int r = 0; r < proxy.rowCount(); ++r) ids << proxy.data(proxy.index(r, 0)).toInt();
        return ids;
    }

    kavrin::test::ScriptedDialogs dialogs;
    ClientDataSet abons{"select * from abons"};
    ClientDataSet streets{"select * from street"};
    DataSetModel model{abons};
    FilterProxyModel proxy;
};

}  // namespace

TEST_F(ModelTest, ShowsEachKindOfColumn) {
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.columnCount(), 6);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Улица");
    EXPECT_EQ(cell(0, "N_Street").toString(), "Садовая");
    EXPECT_EQ(cell(0, "N_Street", Qt::EditRole).toInt(), 1);
    EXPECT_TRUE(cell(3, "N_Street").isNull());
    EXPECT_EQ(cell(0, "Data_Create").toString(), "01.03.2024");
    EXPECT_EQ(cell(0, "lock", Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    EXPECT_EQ(cell(1, "lock", Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    EXPECT_EQ(cell(1, "money_new").toString(), "-0,75");
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);  // ID
    EXPECT_FALSE(model.flags(model.index(0, 5)) & Qt::ItemIsEditable);  // calculated
    EXPECT_TRUE(model.flags(model.index(0, 4)) & Qt::ItemIsUserCheckable);
}

TEST_F(ModelTest, EditsGoThroughTheDatasetAndPostWhenTheViewMovesOn) {
    int posts = 0;
    abons.afterPost = [&posts](ClientDataSet&) { ++posts; };
    int changed = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&changed] { ++changed; });
    EXPECT_TRUE(model.setData(model.index(1, 1), "Петрова"));
    EXPECT_EQ(abons.recNo(), 2);
    EXPECT_EQ(abons.state(), ClientDataSet::State::Edit);
    EXPECT_GE(changed, 1);
    EXPECT_TRUE(model.setData(model.index(1, 4), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(abons.value("lock").toInt(), 1);
    EXPECT_EQ(posts, 0);
    model.setCurrentRow(0);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(abons.value(1, abons.fieldIndex("Name1")).toString(), "Петрова");

    // A refused value is reported to the user, not thrown through the view.
    EXPECT_FALSE(model.setData(model.index(0, 3), "не дата"));
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(ModelTest, FollowsRowsAddedAndRemovedBehindAProxy) {
    int current = -2;
    QObject::connect(&model, &DataSetModel::currentRowChanged, [&current](int row) { current = row; });
    abons.last();
    abons.append();
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(proxy.rowCount(), 5);
    EXPECT_EQ(current, 4);
    abons.cancel();
    EXPECT_EQ(proxy.rowCount(), 4);
    abons.first();
    abons.deleteRecord();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(proxy.rowCount(), 3);
    abons.cancelUpdates();
    EXPECT_EQ(proxy.rowCount(), 4);
}

TEST_F(ModelTest, PausedViewsCatchUpOnceWhenTheLastPauseEnds) {
    int resets = 0, current = -2;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    QObject::connect(&model, &DataSetModel::currentRowChanged, [&current](int row) { current = row; });
    {
        ClientDataSet::ViewsPaused outer(abons);
        {
            ClientDataSet::ViewsPaused inner(abons);
            for (int id : {20, 21}) {
                abons.append();
                abons.setValue("Id", id);
                abons.post();
            }
        }
        // Still paused by the outer guard: the views know nothing yet.
        EXPECT_EQ(model.rowCount(), 4);
        EXPECT_EQ(resets, 0);
    }
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(proxy.rowCount(), 6);
    EXPECT_EQ(current, 5);
    // Views follow single changes again.
    abons.append();
    EXPECT_EQ(proxy.rowCount(), 7);
}

TEST_F(ModelTest, ViewFilterJoinsConditionsWithAndAndAGroupWithOr) {
    FilterGroup filter;
    filter.conditions << FilterCondition{"Name1", FilterOperator::Like, "%ив%", "\"ив\""};  // any case
    FilterGroup streetsNamedSad{true, {{"N_Street", FilterOperator::Like, "1", "\"Садовая\""},
                                       {"N_Street", FilterOperator::Like, "2", "\"Садовый проезд\""}}};
    filter.groups << streetsNamedSad;
    proxy.setFilter(filter);
    EXPECT_EQ(shownIds(), QList<int>{5});
    EXPECT_EQ(proxy.filterTexts(), (QStringList{"\"ив\"", "\"Садовая\"", "\"Садовый проезд\""}));

    struct Case {
        FilterCondition condition;
        QList<int> ids;
    } cases[] = {
        {{"money_new", FilterOperator::Equal, 12.5}, {5, 9}},         // the money text 12,5 is 1250 kopecks
        {{"money_new", FilterOperator::Equal, "12,5"}, {5, 9}},
        {{"Data_Create", FilterOperator::Equal, "01.03.2024"}, {5, 9}},
        {{"lock", FilterOperator::Equal, 0}, {7, 9}},
        {{"Id", FilterOperator::Equal, 7}, {7}},
        {{"Id", FilterOperator::NotEqual, 7}, {5, 9, 11}},
        {{"Id", FilterOperator::GreaterOrEqual, 9}, {9, 11}},
        {{"money", FilterOperator::Less, 0}, {7}},
        {{"Name1", FilterOperator::Like, "иванов"}, {5}},             // no wildcard: the whole value
        {{"Name1", FilterOperator::Like, "%50%"}, {}},                // "%" and "_" only are wildcards
        {{"Name1", FilterOperator::Like, "ив%"}, {5, 9}},
        {{"Name1", FilterOperator::Like, "%ОВ"}, {5, 7, 11}},
        {{"Name1", FilterOperator::Like, "_етр%"}, {7}},
        {{"Name1", FilterOperator::Like, "%"}, {5, 7, 9, 11}},
        {{"N_Street", FilterOperator::Like, "Сад"}, {}},              // text that names no street number
    };
    for (const Case& c : cases) {
        FilterGroup g;
        g.conditions << c.condition;
        proxy.setFilter(g);
        EXPECT_EQ(shownIds(), c.ids) << c.condition.field.toStdString() << " " << c.condition.value.toString().toStdString();
    }

    proxy.setFilter({});  // active with no condition: every row
    EXPECT_EQ(proxy.rowCount(), 4);
    proxy.clearFilter();
    EXPECT_FALSE(proxy.isFilterActive());
    EXPECT_EQ(proxy.rowCount(), 4);
}

TEST_F(ModelTest, SortsByTypedValues) {
    proxy.sort(model.columnOf("Name1"), Qt::AscendingOrder);
    EXPECT_EQ(shownIds(), (QList<int>{5, 9, 7, 11}));
    proxy.sort(0, Qt::DescendingOrder);
    EXPECT_EQ(shownIds(), (QList<int>{11, 9, 7, 5}));
    proxy.sort(model.columnOf("Data_Create"), Qt::AscendingOrder);
    EXPECT_EQ(shownIds().first(), 11);  // empty first
}
