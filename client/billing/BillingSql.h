#pragma once
// Every statement of the billing module. User-typed values are bound to "?" placeholders; only numbers the
// client computed itself are written into a statement's text.
#include <QString>

namespace kavrin::billing_sql {

// Settings (one row of `config`; the first one the table returns is the one in use).
inline const QString selectConfig = QStringLiteral(
    "select Id, language, autospisanie, use_coef, type_of_port, use_auto_null, use_auto_backup, billing_interval "
    "from config limit 1");
inline const QString updateConfig = QStringLiteral(
    "UPDATE config SET language=?, autospisanie=?, use_coef=?, type_of_port=?, use_auto_null=?, "
    "use_auto_backup=?, billing_interval=? WHERE Id=?");
inline const QString insertConfig = QStringLiteral(
    "INSERT INTO config (Id, language, autospisanie, use_coef, type_of_port, use_auto_null, use_auto_backup, "
    "billing_interval) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");

// Charging marks: one `spisanie` row per charged pass; rows are only appended, so the highest id is the latest.
inline const QString selectLastMark = QStringLiteral("select id, date from spisanie order by id desc limit 1");
inline const QString selectLastMarkId = QStringLiteral("select max(id) from spisanie");
inline const QString insertMark = QStringLiteral("INSERT INTO spisanie (id, date, time) VALUES (?, ?, ?)");
inline const QString truncateReport = QStringLiteral("TRUNCATE table tmp_ot4et");

// The money operation.
inline const QString selectBalanceForUpdate = QStringLiteral("select money, `lock` from abons where Id=? FOR UPDATE");
inline const QString updateBalanceAndLock = QStringLiteral("UPDATE abons set money=?, `lock`=? where Id=?");
inline const QString insertPayment = QStringLiteral(
    "INSERT INTO prihod_rashod (id_abona, tip_operacii, kanals_count, summa, posle_oplati) VALUES (?, 1, 0, ?, ?)");
inline const QString insertDatedPayment = QStringLiteral(
    "INSERT INTO prihod_rashod (id_abona, tip_operacii, kanals_count, summa, posle_oplati, date) "
    "VALUES (?, 1, 0, ?, ?, ?)");

// The payments of an import, booked together: the balances as last seen, the payers locked with what their
// device records are made from, then the balances and the journal rows for many lines at once. `n` is the
// number of rows (ids) the statement is for; every value is bound.
inline const QString selectAllBalances = QStringLiteral("select Id, money, `lock` from abons");
QString selectPayersForUpdate(int n);   // binds: n ids -> Id, money, lock, priority flag, package Id, 64_1..64_64
QString updateBalances(int n);          // binds: n times (Id, money, lock)
QString insertPayments(int n);          // binds: n times (id_abona, summa, posle_oplati, date or NULL for now)

// The charge. The catalogue and the packages are read whole once per pass; the switched-on subscribers are
// read and locked once per pass, so that a payment made meanwhile waits instead of being overwritten.
QString selectChannelTerms();
QString selectPackageTerms();
QString selectSwitchedOnSubscribers();

// A pass writes its charges through a scratch table, a chunk at a time: the balances by the two rules of the
// charge (a balance that is no longer positive also switches the subscriber off), then the journal and the
// report rows in the subscribers' order.
inline const QString dropChargeBatch = QStringLiteral("DROP TEMPORARY TABLE IF EXISTS charge_batch");
inline const QString createChargeBatch = QStringLiteral(
    "CREATE TEMPORARY TABLE charge_batch (seq INT NOT NULL PRIMARY KEY, id INT NOT NULL, kanals_count SMALLINT "
    "NOT NULL, summa INT NOT NULL, posle_oplati INT NOT NULL) ENGINE=MEMORY");
inline const QString clearChargeBatch = QStringLiteral("DELETE FROM charge_batch");
inline const QString insertChargeBatchHead =
    QStringLiteral("INSERT INTO charge_batch (seq, id, kanals_count, summa, posle_oplati) VALUES ");
inline const QString updateBalancesStillOn = QStringLiteral(
    "UPDATE abons a JOIN charge_batch c ON a.Id = c.id SET a.money = c.posle_oplati WHERE c.posle_oplati > 0");
inline const QString updateBalancesSwitchOff = QStringLiteral(
    "UPDATE abons a JOIN charge_batch c ON a.Id = c.id SET a.money = c.posle_oplati, a.`lock` = 0 "
    "WHERE c.posle_oplati <= 0");
inline const QString insertChargeJournal = QStringLiteral(
    "INSERT INTO prihod_rashod (id_abona, tip_operacii, kanals_count, summa, posle_oplati) "
    "SELECT id, 2, kanals_count, summa, posle_oplati FROM charge_batch ORDER BY seq");
inline const QString insertChargeReport = QStringLiteral(
    "INSERT INTO tmp_ot4et (id_abona, kanals_count, summa, posle_oplati) "
    "SELECT id, kanals_count, summa, posle_oplati FROM charge_batch ORDER BY seq");

}  // namespace kavrin::billing_sql
