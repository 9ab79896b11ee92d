#include "billing/Settings.h"

#include "billing/BillingSql.h"
#include "billing/ChargingMarks.h"
#include "data/Sql.h"

namespace kavrin {

QString Settings::currencyName() const { return currency == 0 ? QStringLiteral("грн.") : QStringLiteral("руб."); }

void Settings::load(const ConfigRow& row) {
    currency = row.language == 0 ? 0 : 1;
    autoCharging = row.autospisanie == 0 ? 0 : 1;
    useCoef = row.useCoef != 0;
    portType = row.typeOfPort == 0 ? 0 : 1;
    useAutoNull = row.useAutoNull != 0;
    useAutoBackup = row.useAutoBackup != 0;
    if (row.billingInterval >= 1 && row.billingInterval <= 3) intervalIndex = static_cast<int>(row.billingInterval) - 1;
    billingInterval = row.billingInterval;
}

ConfigRow Settings::toRow(const ConfigRow& stored) const {
    ConfigRow row = stored;
    row.language = currency == 1 ? 1 : 0;
    row.autospisanie = autoCharging == 1 ? 1 : 0;
    row.useCoef = useCoef ? 1 : 0;
    row.typeOfPort = portType == 1 ? 1 : 0;
    row.useAutoNull = useAutoNull ? 1 : 0;
    row.useAutoBackup = useAutoBackup ? 1 : 0;
    if (intervalIndex >= 0 && intervalIndex <= 2) row.billingInterval = intervalIndex + 1;
    return row;
}

Settings& Settings::current() {
    static Settings settings;
    return settings;
}

namespace settings_store {

std::optional<ConfigRow> read() {
    QSqlQuery q = execSql(billing_sql::selectConfig);
    if (!q.next()) return std::nullopt;
    ConfigRow row;
    row.id = q.value(0).toInt();
    row.language = q.value(1).toLongLong();
    row.autospisanie = q.value(2).toLongLong();
    row.useCoef = q.value(3).toLongLong();
    row.typeOfPort = q.value(4).toLongLong();
    row.useAutoNull = q.value(5).toLongLong();
    row.useAutoBackup = q.value(6).toLongLong();
    row.billingInterval = q.value(7).toLongLong();
    return row;
}

Settings& read_config() {
    if (auto row = read()) Settings::current().load(*row);
    return Settings::current();
}

void save(const Settings& settings) {
    // The settings row and the mark belong together: a mark without the settings that asked for it would
    // silently skip today's charge.
    Transaction transaction;
    const std::optional<ConfigRow> stored = read();
    const ConfigRow row = settings.toRow(stored.value_or(ConfigRow{}));
    if (settings.automaticChargingOn()) charging_marks::appendToday();
    const QVariantList values{row.language, row.autospisanie, row.useCoef, row.typeOfPort, row.useAutoNull,
                              row.useAutoBackup, row.billingInterval};
    if (stored) {
        execSql(billing_sql::updateConfig, QVariantList(values) << row.id);
    } else {
        execSql(billing_sql::insertConfig, QVariantList{row.id} + values);
    }
    transaction.commit();
    Settings::current().load(row);
}

}  // namespace settings_store
}  // namespace kavrin
