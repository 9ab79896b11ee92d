// The list filter on the register grid's view: streets by name fragment, case-insensitive text, on/off,
// balance, date and id, all joined with AND.
#include "IoFixture.h"

#include "data/DataSetModel.h"
#include "io/SubscriberFilter.h"

namespace kavrin::test {
namespace {

class FilterTest : public IoFixture {
protected:
    void SetUp() override {
        IoFixture::SetUp();
        exec("insert into street (Id, Name_Street) values (1,'Садовая'),(2,'Садовый проезд'),(3,'Лесная'),(4,'О''Нил')");
        exec("insert into abons (Id, Name1, N_Street, `lock`, money, Data_Create, selected_paket) values "
             "(1,'Иванов',1,1,1250,'2012-01-01','Базовый'),(2,'Иваненко',2,0,0,'2012-02-01',NULL),"
             "(3,'Петров',3,0,1250,'2012-02-01',NULL),(4,'иванова',3,1,-75,'2012-03-01','Полный')");
        reopen();
        model = std::make_unique<DataSetModel>(Datasets::shared().abons,
                                               QVector<DataSetColumn>{{QStringLiteral("Id"), QStringLiteral("ID")}});
        view.setSourceModel(model.get());
    }

    QList<int> shown(const FilterBoxes& boxes) {
        view.setFilter(buildSubscriberFilter(boxes));
        QList<int> ids;
        for (int r = 0; r < view.rowCount(); ++r) ids << view.index(r, 0).data(DataSetModel::ValueRole).toInt();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    std::unique_ptr<DataSetModel> model;
    FilterProxyModel view;
};

TEST_F(FilterTest, BoxesSelectTheRows) {
    const struct {
        const char* what;
        FilterBoxes boxes;
        QList<int> ids;
    } cases[] = {
        {"nothing typed", {}, {1, 2, 3, 4}},
        {"street fragment, either case", {.street = "сад"}, {1, 2}},
        {"no street matches", {.street = "Нет такой"}, {}},
        {"a street number is not a name", {.street = "1"}, {}},
        {"a quote is just a character", {.street = "О'"}, {}},
        {"switched off with a name fragment", {.name1 = "Иван", .lock = LockChoice::Off}, {2}},
        {"switched on", {.lock = LockChoice::On}, {1, 4}},
        {"surname ignoring case", {.name1 = "ИВАН"}, {1, 2, 4}},
        {"balance 12,5", {.balance = "12,5"}, {1, 3}},
        {"balance 12,50", {.balance = "12,50"}, {1, 3}},
        {"negative balance", {.balance = "-0,75"}, {4}},
        {"finer than a kopeck", {.balance = "12,505"}, {}},
        {"id", {.id = "3"}, {3}},
        {"id beyond any", {.id = "99999999999"}, {}},
        {"date", {.date = QDate(2012, 2, 1)}, {2, 3}},
        {"comment", {.comment = "полн"}, {4}},
        {"street and surname together", {.name1 = "иван", .street = "Лес"}, {4}},
    };
    for (const auto& c : cases) EXPECT_EQ(shown(c.boxes), c.ids) << c.what;
}

TEST_F(FilterTest, StreetConditionsShowTheStreetNames) {
    const FilterGroup f = buildSubscriberFilter({.name1 = "Иван", .street = "Сад", .lock = LockChoice::Off});
    view.setFilter(f);
    EXPECT_EQ(view.filterTexts(), (QStringList{"\"Иван\"", "\"выкл\"", "\"Садовая\"", "\"Садовый проезд\""}));
    ASSERT_EQ(f.groups.size(), 1);
    EXPECT_TRUE(f.groups[0].orJoined);
    EXPECT_FALSE(f.orJoined);
}

TEST_F(FilterTest, StreetTextIsBoundNotSpliced) {
    EXPECT_TRUE(streetsContaining("' or '1'='1").empty());
    EXPECT_EQ(streetsContaining("'").size(), 1u);  // O'Нил
    EXPECT_TRUE(streetsContaining("%").empty());
    EXPECT_EQ(streetsContaining("ПРОЕЗД").size(), 1u);
}

}  // namespace
}  // namespace kavrin::test
