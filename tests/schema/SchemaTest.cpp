// The schema a new installation gets: the task queue's column positions are a wire format for the server,
// and the rows a working installation needs are there.
#include "support/TestDatabase.h"

#include <QSqlRecord>

using namespace kavrin::test;

class SchemaTest : public DatabaseTest {};

TEST_F(SchemaTest, TaskQueueColumnsKeepTheirPositions) {
    QSqlRecord r = QSqlDatabase::database().record(QStringLiteral("zadaniya"));
    ASSERT_EQ(r.count(), 70);
    EXPECT_EQ(r.fieldName(0), "id");
    EXPECT_EQ(r.fieldName(1), "n_mesta");
    EXPECT_EQ(r.fieldName(2), "n_Rec");
    EXPECT_EQ(r.fieldName(3), "n_zadaniya");
    EXPECT_EQ(r.fieldName(4), "count_mest");
    for (int i = 1; i <= 64; ++i) EXPECT_EQ(r.fieldName(4 + i), QStringLiteral("64_%1").arg(i));
    EXPECT_EQ(r.fieldName(69), "balans");
}

TEST_F(SchemaTest, UnsetColumnsTakeTheirDefaults) {
    exec("insert into zadaniya (n_mesta, n_Rec, n_zadaniya, count_mest) values (3, 17, 2, 5)");
    exec("insert into prihod_rashod (id_abona, tip_operacii, summa, posle_oplati) values (17, 1, 100, 100)");
    EXPECT_EQ(scalar("select `64_1` + `64_64` + balans from zadaniya").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from prihod_rashod where TO_DAYS(NOW()) - TO_DAYS(date) <= 3").toInt(), 1);
}

TEST_F(SchemaTest, WorkingInstallationRows) {
    EXPECT_EQ(scalar("select count(*) from config").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from spisanie").toInt(), 1);
    EXPECT_EQ(scalar("select name_operacii from tip_operaciy_money where Id_operacii = 2").toString(),
              QStringLiteral("Списание средств"));
}

TEST_F(SchemaTest, SubscriberNumberIsUnique) {
    exec("insert into abons (Id) values (2147483647)");
    QSqlQuery q;
    EXPECT_FALSE(q.exec("insert into abons (Id) values (2147483647)"));
}
