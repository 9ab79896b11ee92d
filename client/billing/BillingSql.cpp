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

}  // namespace kavrin::billing_sql
