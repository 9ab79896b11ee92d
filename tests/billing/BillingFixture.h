#pragma once
// Small builders for the billing tests: channel streams, packages and subscribers with chosen words.
#include "support/TestDatabase.h"

#include <QStringList>
#include <ostream>
#include <map>
#include <optional>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace kavrin::test {

// One position of a stream: scrambled or free, and its price (nullopt = NULL).
struct Position {
    int j;
    bool scrambled;
    std::optional<int> price;
};

inline void addStream(int stream, std::initializer_list<Position> positions) {
    QStringList cols{QStringLiteral("NStream")}, vals{QString::number(stream)};
    for (const Position& p : positions) {
        cols << QStringLiteral("kod_%1").arg(p.j) << QStringLiteral("cena_%1").arg(p.j);
        vals << QString::number(p.scrambled ? 1 : 0) << (p.price ? QString::number(*p.price) : QStringLiteral("NULL"));
    }
    exec(QStringLiteral("insert into kanals (%1) values (%2)").arg(cols.join(','), vals.join(',')));
}

using Words = std::map<int, int>;  // stream -> word

inline QString wordAssignments(const Words& words) {
    QStringList parts;
    for (auto [s, w] : words) parts << QStringLiteral("`64_%1`=%2").arg(s).arg(w);
    return parts.join(',');
}

inline void addPackage(int id, std::optional<int> cost, const Words& words) {
    exec(QStringLiteral("insert into pakets (Id, Name_Paket, paket_cost) values (%1, 'p%1', %2)")
             .arg(id)
             .arg(cost ? QString::number(*cost) : QStringLiteral("NULL")));
    if (!words.empty()) exec(QStringLiteral("update pakets set %1 where Id=%2").arg(wordAssignments(words)).arg(id));
}

struct Subscriber {
    int id;
    std::optional<int> money = 0;
    int lock = 1;
    Words words = {};
    int feeFlag = 0;
    std::optional<int> fee = 0;
    int packagePriority = 0;
    int packageId = 0;
};

inline void addSubscriber(const Subscriber& s) {
    exec(QStringLiteral("insert into abons (Id, Name1, `lock`, money, flag_for_abonplata, abonplata, "
                        "flag_packet_prioritet, id_selected_packet) values (%1, 'A%1', %2, %3, %4, %5, %6, %7)")
             .arg(s.id)
             .arg(s.lock)
             .arg(s.money ? QString::number(*s.money) : QStringLiteral("NULL"))
             .arg(s.feeFlag)
             .arg(s.fee ? QString::number(*s.fee) : QStringLiteral("NULL"))
             .arg(s.packagePriority)
             .arg(s.packageId));
    if (!s.words.empty()) exec(QStringLiteral("update abons set %1 where Id=%2").arg(wordAssignments(s.words)).arg(s.id));
}

inline int intOf(const QString& sql) { return scalar(sql).toInt(); }

}  // namespace kavrin::test
