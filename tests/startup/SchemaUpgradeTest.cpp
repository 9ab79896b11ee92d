// The schema upgrade run at every connection: an old installation gains the four columns in their places and
// wider names; an up-to-date one only gets the widenings and the four probes.
#include "startup/SchemaUpgrade.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>

using namespace kavrin;
using namespace kavrin::test;

namespace {

class SchemaUpgradeTest : public DatabaseTest {
protected:
    static int position(const QString& table, const QString& column) {
        return QSqlDatabase::database().record(table).indexOf(column);
    }
    static int charLength(const QString& table, const QString& column) {
        return scalar(QStringLiteral("select CHARACTER_MAXIMUM_LENGTH from information_schema.COLUMNS where "
                                     "TABLE_SCHEMA='kavrin' and TABLE_NAME='%1' and COLUMN_NAME='%2'")
                          .arg(table, column))
            .toInt();
    }
    static const QStringList& probes() {
        static const QStringList p{"describe abons flag_packet_prioritet", "describe config use_auto_backup",
                                   "describe pakets paket_cost", "describe config billing_interval"};
        return p;
    }
};

TEST_F(SchemaUpgradeTest, LegacyDatabaseGainsTheColumnsInPlaceAndKeepsItsRows) {
    recreateDatabase(sourcePath(QStringLiteral("tests/fixtures/legacy_schema.sql")));
    exec("insert into abons (Id, Name1, money) values (7, 'Петров', 1250)");
    exec("insert into pakets (Id, Name_Paket) values (1, 'Базовый')");
    ASSERT_EQ(position("abons", "flag_packet_prioritet"), -1);

    const SchemaUpgradeResult result = upgradeSchema();

    EXPECT_EQ(position("abons", "flag_packet_prioritet"), position("abons", "flag_for_abonplata") + 1);
    EXPECT_EQ(position("abons", "id_selected_packet"), position("abons", "flag_packet_prioritet") + 1);
    EXPECT_EQ(position("config", "use_auto_backup"), position("config", "use_auto_null") + 1);
    EXPECT_EQ(position("config", "billing_interval"), position("config", "use_auto_backup") + 1);
    EXPECT_EQ(position("pakets", "paket_cost"), position("pakets", "64_64") + 1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(charLength("kanals", QStringLiteral("kan_%1").arg(i)), 40) << i;
    EXPECT_EQ(charLength("pakets", "Name_Paket"), 40);

    // Rows already there take the new columns' defaults.
    EXPECT_EQ(scalar("select concat(flag_packet_prioritet, ',', id_selected_packet, ',', money) from abons").toString(),
              "0,0,1250");
    EXPECT_EQ(scalar("select concat(use_auto_backup, ',', billing_interval) from config").toString(), "1,1");
    EXPECT_EQ(scalar("select paket_cost from pakets").toInt(), 0);
    exec("insert into kanals (NStream, kan_15) values (1, repeat('к', 40))");
    EXPECT_EQ(scalar("select char_length(kan_15) from kanals").toInt(), 40);

    // Each addition follows its probe, in the fixed order; the scratch query is left with a probe of config.
    ASSERT_EQ(result.executed.size(), 17 + 8);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(result.executed[17 + 2 * i], probes()[i]);
        EXPECT_TRUE(result.executed[18 + 2 * i].contains("ADD COLUMN")) << result.executed[18 + 2 * i].toStdString();
    }
    EXPECT_EQ(result.scratchText, "describe config use_auto_backup");
}

TEST_F(SchemaUpgradeTest, UpToDateDatabaseGetsOnlyTheWideningsAndTheProbes) {
    const QString before = scalar("select group_concat(COLUMN_NAME order by TABLE_NAME, ORDINAL_POSITION) "
                                  "from information_schema.COLUMNS where TABLE_SCHEMA='kavrin'").toString();
    const SchemaUpgradeResult result = upgradeSchema();

    ASSERT_EQ(result.executed.size(), 21);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(result.executed[i],
                  QStringLiteral("ALTER TABLE `kavrin`.`kanals` MODIFY COLUMN `kan_%1` CHAR(40) NOT NULL DEFAULT \"-\";")
                      .arg(i));
    }
    EXPECT_EQ(result.executed[16], "ALTER TABLE `kavrin`.`pakets` MODIFY COLUMN `Name_Paket` CHAR(40) NOT NULL;");
    EXPECT_EQ(result.executed.mid(17), probes());
    EXPECT_EQ(result.scratchText, "describe config billing_interval");
    EXPECT_EQ(scalar("select group_concat(COLUMN_NAME order by TABLE_NAME, ORDINAL_POSITION) "
                     "from information_schema.COLUMNS where TABLE_SCHEMA='kavrin'").toString(),
              before);
}

}  // namespace
