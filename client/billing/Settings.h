#pragma once
// The operator's settings: the single `config` row, and the client-wide copy of it that the money dialog,
// the timer and the charging run read.
#include <QDate>
#include <optional>

namespace kavrin {

// The `config` row as stored.
struct ConfigRow {
    int id = 1;
    qint64 language = 0;
    qint64 autospisanie = 0;
    qint64 useCoef = 0;
    qint64 typeOfPort = 0;
    qint64 useAutoNull = 0;
    qint64 useAutoBackup = 0;
    qint64 billingInterval = 1;
};

// The settings as the settings window shows them (item indexes and boxes) and the two memory flags.
struct Settings {
    int currency = 0;          // 0 hryvnias, 1 roubles
    int autoCharging = 0;      // 0 "Включено", 1 "Выключено"
    bool useCoef = true;
    int portType = 0;          // 0 COM, 1 IP (kept only)
    bool useAutoNull = false;
    bool useAutoBackup = false;
    int intervalIndex = -1;    // 0 daily, 1 monthly, 2 never; -1 none chosen
    qint64 billingInterval = 0;  // as stored: the charging run reads this, whatever the window shows

    bool automaticChargingOn() const { return autoCharging == 0; }
    QString currencyName() const;

    // read_config's rules: any non-zero value is "on" / the second item; an interval other than 1, 2, 3
    // leaves the interval choice as it was.
    void load(const ConfigRow& row);
    // The row to store: `stored` with the window's choices; no interval chosen keeps the stored one.
    ConfigRow toRow(const ConfigRow& stored) const;

    // The copy the whole client reads.
    static Settings& current();
};

// Reading and saving the `config` row.
namespace settings_store {
// The first `config` row, or nullopt when the table is empty.
std::optional<ConfigRow> read();
// read_config: refreshes Settings::current() (and returns it). An empty table leaves it unchanged.
Settings& read_config();
// Stores `settings` in one transaction: the `config` row (created when the table is empty) and, with
// automatic charging on, a charging mark dated `today`, so that the next automatic run starts tomorrow.
void save(const Settings& settings);
}  // namespace settings_store

}  // namespace kavrin
