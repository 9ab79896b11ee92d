#include "billing/BillingSql.h"

#include "billing/ChargeRules.h"

#include <QStringList>

namespace kavrin::billing_sql {
namespace {

QString columns(const QString& prefix, int from, int to) {
    QStringList list;
    for (int i = from; i <= to; ++i) list << prefix.arg(i);
    return list.join(QLatin1String(", "));
}

QString wordColumns() { return columns(QStringLiteral("`64_%1`"), 1, kBilledStreams); }

// "<first>,<more>,<more>..." with n parts.
QString repeated(const QString& first, const QString& more, int n) {
    QString s = first;
    s.reserve(first.size() + (n - 1) * more.size());
    for (int i = 1; i < n; ++i) s += more;
    return s;
}

}  // namespace

QString selectChannelTerms() {
    return QStringLiteral("select NStream, ") + columns(QStringLiteral("kod_%1"), 0, kPricedPositions - 1) +
           QStringLiteral(", ") + columns(QStringLiteral("cena_%1"), 0, kPricedPositions - 1) +
           QStringLiteral(" from kanals");
}

QString selectPackageTerms() { return QStringLiteral("select Id, paket_cost, ") + wordColumns() + QStringLiteral(" from pakets"); }

QString selectSwitchedOnSubscribers() {
    return QStringLiteral("select Id, money, flag_for_abonplata, abonplata, flag_packet_prioritet, id_selected_packet, ") +
           wordColumns() + QStringLiteral(" from abons where `lock`=1 order by Id FOR UPDATE");
}

QString selectPayersForUpdate(int n) {
    return QStringLiteral("select Id, money, `lock`, flag_packet_prioritet, id_selected_packet, ") +
           columns(QStringLiteral("`64_%1`"), 1, 64) + QStringLiteral(" from abons where Id in (") +
           repeated(QStringLiteral("?"), QStringLiteral(",?"), n) + QStringLiteral(") FOR UPDATE");
}

QString updateBalances(int n) {
    return QStringLiteral("UPDATE abons a JOIN (") +
           repeated(QStringLiteral("SELECT ? AS id, ? AS money, ? AS lk"), QStringLiteral(" UNION ALL SELECT ?, ?, ?"), n) +
           QStringLiteral(") v ON a.Id = v.id SET a.money = v.money, a.`lock` = v.lk");
}

QString insertPayments(int n) {
    return QStringLiteral("INSERT INTO prihod_rashod (id_abona, tip_operacii, kanals_count, summa, posle_oplati, date) "
                          "VALUES ") +
           repeated(QStringLiteral("(?, 1, 0, ?, ?, coalesce(?, now()))"),
                    QStringLiteral(",(?, 1, 0, ?, ?, coalesce(?, now()))"), n);
}

}  // namespace kavrin::billing_sql
