// Time and peak memory of opening the register ("select * from abons") over 100,000 generated subscribers,
// beside the floor: the same query read by a bare forward-only QSqlQuery loop, value by value.
//
//   bench_register_open [--port N] [--password P] [--rows N] [--runs N] [--keep]
//
// Works in its own database `kavrin_bench` (made from sql/schema.sql), never in `kavrin`. Each measurement runs
// in a child process of its own, so that its peak memory (VmHWM) is its alone.
#include "common/MoneyText.h"
#include "data/ClientDataSet.h"
#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"
#include "support/BenchDatabase.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <algorithm>
#include <cstdio>

namespace {

struct Options {
    int port = 3306;
    QString password = QStringLiteral("kavrin");
    int rows = 100000;
    int runs = 5;
};

Options parse(const QStringList& args) {
    Options o;
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--port") o.port = args[++i].toInt();
        else if (args[i] == "--password") o.password = args[++i];
        else if (args[i] == "--rows") o.rows = args[++i].toInt();
        else if (args[i] == "--runs") o.runs = args[++i].toInt();
    }
    return o;
}

QSqlDatabase connect(const Options& o, const QString& database) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"));
    db.setHostName(QStringLiteral("127.0.0.1"));
    db.setPort(o.port);
    db.setUserName(QStringLiteral("root"));
    db.setPassword(o.password);
    db.setDatabaseName(database);
    if (!db.open()) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(db.lastError().text()));
        std::exit(2);
    }
    QSqlQuery(db).exec(QStringLiteral("SET NAMES utf8mb4"));
    return db;
}

void run(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(q.lastError().text()), qPrintable(sql.left(200)));
        std::exit(2);
    }
}

void generate(const Options& o) {
    QSqlDatabase db = connect(o, QString());
    QSqlQuery q(db);
    kavrin::bench::createSchemaDatabase(db, QStringLiteral("kavrin_bench"));
    static const char* surnames[] = {"Иваненко", "Петренко", "Шевчук", "Коваленко", "Бондаренко", "Ткаченко",
                                     "Кравченко", "Олійник", "Шевченко", "Мельник"};
    static const char* names[] = {"Олександр", "Іван", "Марія", "Олена", "Петро", "Наталія"};
    QRandomGenerator rng(42);
    const int batch = 1000;
    run(q, "START TRANSACTION");
    for (int first = 1; first <= o.rows; first += batch) {
        QStringList values;
        for (int id = first; id < first + batch && id <= o.rows; ++id) {
            QStringList v;
            v << QString::number(id) << QString("'%1'").arg(surnames[rng.bounded(10)])
              << QString("'%1'").arg(names[rng.bounded(6)]) << QString("'%1ович'").arg(names[rng.bounded(6)])
              << QString::number(rng.bounded(1, 200)) << QString("'%1'").arg(rng.bounded(1, 150)) << "''"
              << QString("'%1'").arg(rng.bounded(1, 300)) << QString("'0%1'").arg(rng.bounded(100000, 999999))
              << QString("'+38050%1'").arg(rng.bounded(1000000, 9999999))
              << QString("'20%1-%2-%3'").arg(rng.bounded(10, 26)).arg(rng.bounded(1, 13)).arg(rng.bounded(1, 29))
              << QString::number(rng.bounded(2)) << QString::number(rng.bounded(-50000, 200000));
            for (int w = 1; w <= 64; ++w) v << QString::number(w <= 62 ? rng.bounded(0x8000) : 0);
            v << "'Базовый пакет'" << "0" << "0" << QString::number(rng.bounded(2)) << QString::number(rng.bounded(1, 10));
            values << "(" + v.join(',') + ")";
        }
        run(q, "insert into abons values " + values.join(','));
    }
    run(q, "COMMIT");
}

long peakKilobytes() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// One measurement in this process: prints "<milliseconds> <peak kB> <rows>".
int measure(const Options& o, const QString& mode) {
    connect(o, QStringLiteral("kavrin_bench"));
    QElapsedTimer timer;
    long long rows = 0;
    timer.start();
    if (mode == "floor") {
        QSqlQuery q;
        q.setForwardOnly(true);
        run(q, "select * from abons");
        const int n = q.record().count();
        long long sink = 0;
        while (q.next()) {
            for (int i = 0; i < n; ++i) sink += q.value(i).isNull() ? 0 : 1;
            ++rows;
        }
        if (sink < 0) return 3;
    } else {
        using namespace kavrin;
        ClientDataSet ds(QStringLiteral("select * from abons"));
        ds.addCalculatedField("money_new", [](const ClientDataSet& d, int row) {
            return money_text(d.value(row, d.fieldIndex("money")));
        });
        ds.open();
        rows = ds.recordCount();
        const qint64 openMs = timer.elapsed();
        const long openPeak = peakKilobytes();
        // What the register grid does with it: sort by ID, then a view filter on surname and balance text.
        DataSetModel model(ds, {{"Id", "ID", 61}, {"Name1", "Фамилия", 125}, {"money_new", "Счёт", 44}});
        FilterProxyModel proxy;
        proxy.setSourceModel(&model);
        timer.restart();
        proxy.sort(0, Qt::DescendingOrder);
        proxy.rowCount();  // the proxy may build its mapping lazily: count it in
        const qint64 sortMs = timer.elapsed();
        timer.restart();
        FilterGroup filter;
        filter.conditions << FilterCondition("Name1", FilterOperator::Like, "%енко%")
                          << FilterCondition("money_new", FilterOperator::NotEqual, 0);
        proxy.setFilter(filter);
        const int shown = proxy.rowCount();
        const qint64 filterMs = timer.elapsed();
        std::printf("%lld %ld %lld %lld %lld %d\n", openMs, openPeak, rows, sortMs, filterMs, shown);
        return 0;
    }
    std::printf("%lld %ld %lld\n", timer.elapsed(), peakKilobytes(), rows);
    return 0;
}

struct Result {
    double ms = 0;
    long peak = 0;
    long long rows = 0;
    double sortMs = 0, filterMs = 0;
    int shown = 0;
};

Result child(const QStringList& args, const QString& mode) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), QStringList(args.mid(1)) << "--measure" << mode);
    p.waitForFinished(-1);
    const QStringList parts = QString::fromLatin1(p.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    if (p.exitCode() != 0 || parts.size() < 3) {
        std::fprintf(stderr, "%s run failed: %s\n", qPrintable(mode), p.readAllStandardError().constData());
        std::exit(2);
    }
    Result r{parts[0].toDouble(), parts[1].toLong(), parts[2].toLongLong()};
    if (parts.size() >= 6) {
        r.sortMs = parts[3].toDouble();
        r.filterMs = parts[4].toDouble();
        r.shown = parts[5].toInt();
    }
    return r;
}

Result median(std::vector<Result> r) {
    std::sort(r.begin(), r.end(), [](const Result& a, const Result& b) { return a.ms < b.ms; });
    return r[r.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // the models use GUI types (colours)
    const QStringList args = app.arguments();
    const Options o = parse(args);
    if (const int m = args.indexOf("--measure"); m >= 0) return measure(o, args.value(m + 1));

    std::printf("generating %d subscribers in kavrin_bench...\n", o.rows);
    generate(o);
    std::vector<Result> floor, dataset;
    for (int i = 0; i < o.runs; ++i) {  // interleaved, so that both see the same server state
        floor.push_back(child(args, "floor"));
        dataset.push_back(child(args, "dataset"));
    }
    const Result f = median(floor), d = median(dataset);
    std::printf("rows: %lld\n", d.rows);
    std::printf("floor   (bare QSqlQuery loop): %8.0f ms  peak %6.1f MB\n", f.ms, f.peak / 1024.0);
    std::printf("register (ClientDataSet open): %8.0f ms  peak %6.1f MB\n", d.ms, d.peak / 1024.0);
    std::printf("time ratio: %.2fx of the floor (aim: within 1.5x); peak %s 200 MB\n", d.ms / f.ms,
                d.peak < 200 * 1024 ? "under" : "OVER");
    std::printf("grid over the register: sort by ID %.0f ms, view filter (like + balance text) %.0f ms, %d rows shown\n",
                d.sortMs, d.filterMs, d.shown);
    if (!args.contains("--keep")) {  // --keep leaves kavrin_bench for profiling a single --measure run
        QSqlQuery q(connect(o, QString()));
        q.exec("DROP DATABASE IF EXISTS kavrin_bench");
    }
    return 0;
}
