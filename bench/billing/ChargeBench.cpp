// Times one charging pass over 1,000, 5,000 and 20,000 generated subscribers, beside the floor: the same
// charges done by set-based SQL (one UPDATE of the balances, two INSERT ... SELECT of the journal and the
// report rows). Works in its own database `kavrin_bench` on the server given by KAVRIN_BENCH_DB_PORT
// (user root, password KAVRIN_BENCH_DB_PASSWORD or "kavrin").
#include "billing/ChargePass.h"
#include "data/Sql.h"
#include "support/BenchDatabase.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlError>
#include <QStringList>
#include <chrono>
#include <cstdio>

using namespace kavrin;

namespace {

void run(const QString& sql) { execSql(sql); }

void createDatabase() { bench::createSchemaDatabase(connection(), QStringLiteral("kavrin_bench")); }

struct Catalogue {
    int price[62][15] = {};
    bool scrambled[62][15] = {};
};

// 62 streams; about two thirds of the positions scrambled, priced 50..500 kopecks.
Catalogue makeCatalogue(QRandomGenerator& rng) {
    Catalogue c;
    for (int s = 0; s < 62; ++s) {
        QStringList cols{QStringLiteral("NStream")}, vals{QString::number(s + 1)};
        for (int j = 0; j < 15; ++j) {
            c.scrambled[s][j] = rng.bounded(3) != 0;
            c.price[s][j] = 50 + int(rng.bounded(451));
            cols << QStringLiteral("kod_%1").arg(j) << QStringLiteral("cena_%1").arg(j);
            vals << QString::number(c.scrambled[s][j] ? 1 : 0) << QString::number(c.price[s][j]);
        }
        run(QStringLiteral("insert into kanals (%1) values (%2)").arg(cols.join(','), vals.join(',')));
    }
    return c;
}

// n switched-on subscribers with random words on the first 20 streams; one in ten pays a fixed fee.
void makeSubscribers(int n, QRandomGenerator& rng) {
    QStringList cols{QStringLiteral("Id"), QStringLiteral("`lock`"), QStringLiteral("money"),
                     QStringLiteral("flag_for_abonplata"), QStringLiteral("abonplata")};
    for (int s = 1; s <= 20; ++s) cols << QStringLiteral("`64_%1`").arg(s);
    const QString head = QStringLiteral("insert into abons (%1) values ").arg(cols.join(','));
    QStringList rows;
    for (int id = 1; id <= n; ++id) {
        QStringList v{QString::number(id), QStringLiteral("1"), QString::number(1000000 + rng.bounded(100000)),
                      QString::number(id % 10 == 0 ? 1 : 0), QString::number(5000)};
        for (int s = 1; s <= 20; ++s) v << QString::number(rng.bounded(0x8000));
        rows << QLatin1Char('(') + v.join(',') + QLatin1Char(')');
        if (rows.size() == 1000 || id == n) {
            run(head + rows.join(','));
            rows.clear();
        }
    }
}

void resetData(int n) {
    run(QStringLiteral("TRUNCATE abons"));
    run(QStringLiteral("TRUNCATE prihod_rashod"));
    run(QStringLiteral("TRUNCATE tmp_ot4et"));
    run(QStringLiteral("DELETE FROM spisanie WHERE id > 1"));
    QRandomGenerator rng(42);  // the same subscribers every time
    makeSubscribers(n, rng);
}

// The charge and the channel count of a subscriber as SQL expressions over the catalogue, grouped by stream
// so that the server's expression tree stays shallow.
QPair<QString, QString> chargeExpressions(const Catalogue& c) {
    QStringList price, count;
    for (int s = 0; s < 62; ++s) {
        QStringList terms;
        int mask = 0;
        for (int j = 0; j < 15; ++j)
            if (c.scrambled[s][j]) {
                terms << QStringLiteral("((`64_%1` >> %2) & 1)*%3").arg(s + 1).arg(j).arg(c.price[s][j]);
                mask |= 1 << j;
            }
        if (terms.isEmpty()) continue;
        price << QLatin1Char('(') + terms.join('+') + QLatin1Char(')');
        count << QStringLiteral("BIT_COUNT(`64_%1` & %2)").arg(s + 1).arg(mask);
    }
    return {QStringLiteral("(IF(flag_for_abonplata = 1, abonplata, %1))").arg(price.join('+')),
            QLatin1Char('(') + count.join('+') + QLatin1Char(')')};
}

double floorSeconds(const Catalogue& c) {
    const auto [charge, count] = chargeExpressions(c);
    const auto t0 = std::chrono::steady_clock::now();
    Transaction t;
    // The charge is worked out once per subscriber, then written by one UPDATE and two INSERT ... SELECT.
    run(QStringLiteral("DROP TEMPORARY TABLE IF EXISTS floor_charge"));
    run(QStringLiteral("CREATE TEMPORARY TABLE floor_charge ENGINE=MEMORY SELECT Id, %2 AS n, %1 AS charge, money "
                       "FROM abons WHERE `lock` = 1 ORDER BY Id").arg(charge, count));
    run(QStringLiteral("UPDATE abons a JOIN floor_charge f ON a.Id = f.Id SET a.money = f.money - f.charge, "
                       "a.`lock` = IF(f.money - f.charge <= 0, 0, a.`lock`)"));
    run(QStringLiteral("INSERT INTO prihod_rashod (id_abona, tip_operacii, kanals_count, summa, posle_oplati) "
                       "SELECT Id, 2, n, -charge, money - charge FROM floor_charge ORDER BY Id"));
    run(QStringLiteral("INSERT INTO tmp_ot4et (id_abona, kanals_count, summa, posle_oplati) "
                       "SELECT Id, n, -charge, money - charge FROM floor_charge ORDER BY Id"));
    run(QStringLiteral("INSERT INTO spisanie (id, date, time) VALUES (2, CURDATE(), CURTIME())"));
    t.commit();
    run(QStringLiteral("DROP TEMPORARY TABLE floor_charge"));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double passSeconds() {
    const auto t0 = std::chrono::steady_clock::now();
    ChargePass pass;
    pass.run(PassMark{2, QDate::currentDate()});
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

qint64 journalTotal() { return scalarSql(QStringLiteral("select coalesce(sum(summa),0) + coalesce(sum(posle_oplati),0) from prihod_rashod")).toLongLong(); }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"));
    db.setHostName(QStringLiteral("127.0.0.1"));
    db.setPort(qEnvironmentVariableIsSet("KAVRIN_BENCH_DB_PORT") ? qEnvironmentVariableIntValue("KAVRIN_BENCH_DB_PORT") : 3306);
    db.setUserName(QStringLiteral("root"));
    db.setPassword(qEnvironmentVariableIsSet("KAVRIN_BENCH_DB_PASSWORD") ? qEnvironmentVariable("KAVRIN_BENCH_DB_PASSWORD")
                                                                          : QStringLiteral("kavrin"));
    if (!db.open()) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(db.lastError().text()));
        return 1;
    }
    try {
        createDatabase();
        QRandomGenerator rng(7);
        const Catalogue catalogue = makeCatalogue(rng);
        std::printf("%8s %12s %12s %8s\n", "subscr.", "pass, ms", "floor, ms", "ratio");
        for (int n : {1000, 5000, 20000}) {
            double pass = 1e9, floor = 1e9;
            qint64 passTotal = 0, floorTotal = 0;
            for (int round = 0; round < 3; ++round) {  // best of three, each on the same fresh data
                resetData(n);
                pass = std::min(pass, passSeconds());
                passTotal = journalTotal();
                resetData(n);
                floor = std::min(floor, floorSeconds(catalogue));
                floorTotal = journalTotal();
            }
            std::printf("%8d %12.1f %12.1f %8.2f%s\n", n, pass * 1000, floor * 1000, pass / floor,
                        passTotal == floorTotal ? "" : "  (results differ!)");
        }
        run(QStringLiteral("DROP DATABASE kavrin_bench"));
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
