#include "startup/SchemaUpgrade.h"

#include "data/Sql.h"

namespace kavrin {
namespace {

struct MissingColumn {
    QString probe;
    QString addition;
};

const QString kAfterAddition = QStringLiteral("describe config use_auto_backup");

QStringList widenings() {
    QStringList statements;
    for (int i = 0; i < 16; ++i)
        statements << QStringLiteral("ALTER TABLE `kavrin`.`kanals` MODIFY COLUMN `kan_%1` CHAR(40) NOT NULL DEFAULT \"-\";")
                          .arg(i);
    statements << QStringLiteral("ALTER TABLE `kavrin`.`pakets` MODIFY COLUMN `Name_Paket` CHAR(40) NOT NULL;");
    return statements;
}

const MissingColumn kColumns[] = {
    {QStringLiteral("describe abons flag_packet_prioritet"),
     QStringLiteral("ALTER TABLE `kavrin`.`abons` ADD COLUMN `flag_packet_prioritet` TINYINT(2) UNSIGNED NOT NULL "
                    "DEFAULT 0 AFTER `flag_for_abonplata`, ADD COLUMN `id_selected_packet` INTEGER UNSIGNED NOT NULL "
                    "DEFAULT 0 AFTER `flag_packet_prioritet`;")},
    {QStringLiteral("describe config use_auto_backup"),
     QStringLiteral("ALTER TABLE `kavrin`.`config` ADD COLUMN `use_auto_backup` INTEGER UNSIGNED NOT NULL DEFAULT 1 "
                    "AFTER `use_auto_null`;")},
    {QStringLiteral("describe pakets paket_cost"),
     QStringLiteral("ALTER TABLE `kavrin`.`pakets` ADD COLUMN `paket_cost` INTEGER DEFAULT 0 AFTER `64_64`;")},
    {QStringLiteral("describe config billing_interval"),
     QStringLiteral("ALTER TABLE `kavrin`.`config` ADD COLUMN `billing_interval` INTEGER UNSIGNED NOT NULL DEFAULT 1 "
                    "AFTER `use_auto_backup`;")},
};

}  // namespace

SchemaUpgradeResult upgradeSchema() {
    SchemaUpgradeResult result;
    const auto run = [&](const QString& sql) {
        result.executed << sql;
        return execSql(sql);
    };
    for (const QString& statement : widenings()) run(statement);
    for (const MissingColumn& column : kColumns) {
        result.scratchText = column.probe;
        if (run(column.probe).next()) continue;
        run(column.addition);
        result.scratchText = kAfterAddition;
    }
    return result;
}

}  // namespace kavrin
