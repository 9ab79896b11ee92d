// The reload (slot map and task queue rebuilt from the register) over generated registers of 1,000, 5,000 and
// 20,000 subscribers, each time beside the floor measured in the same run: the same slot rows and the same task
// rows written by one bulk insert each, after emptying both tables. Then the opening of the channel editor
// over a full channel table (62 streams x 16 channels), beside the floor of the database reads it needs.
//
//   register_reload_bench [--port N] [--password P] [--runs N]
//
// Works in its own database `kavrin_bench_register` (made from sql/schema.sql), never in `kavrin`.
#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "register/ChannelNames.h"
#include "register/SubscriberRegister.h"
#include "ui/TForm2.h"
#include "support/BenchDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Options {
    int port = 3306;
    QString password = QStringLiteral("kavrin");
    int runs = 3;
};

Options parse(const QStringList& args) {
    Options o;
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--port") o.port = args[++i].toInt();
        else if (args[i] == "--password") o.password = args[++i];
        else if (args[i] == "--runs") o.runs = args[++i].toInt();
    }
    return o;
}

void run(const QString& sql) {
    QSqlQuery q;
    if (!q.exec(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(q.lastError().text()), qPrintable(sql.left(200)));
        std::exit(2);
    }
}

void connectAndCreate(const Options& o) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"));
    db.setHostName(QStringLiteral("127.0.0.1"));
    db.setPort(o.port);
    db.setUserName(QStringLiteral("root"));
    db.setPassword(o.password);
    if (!db.open()) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(db.lastError().text()));
        std::exit(2);
    }
    run(QStringLiteral("SET NAMES utf8mb4"));
    kavrin::bench::createSchemaDatabase(db, QStringLiteral("kavrin_bench_register"));
}

QString wordColumns() {
    QStringList c;
    for (int i = 1; i <= 64; ++i) c << QStringLiteral("64_%1").arg(i);
    return c.join(',');
}

// n subscribers with random words and balances; one in ten switched off, one in twenty on package priority.
void generateRegister(int n) {
    run(QStringLiteral("TRUNCATE abons"));
    run(QStringLiteral("TRUNCATE pakets"));
    run(QStringLiteral("insert into pakets (Id,Name_Paket) values (1,'Первый'),(2,'Второй'),(3,'Третий')"));
    auto* rng = QRandomGenerator::global();
    const QString head = QStringLiteral("insert into abons (Id,Name1,`lock`,money,flag_packet_prioritet,"
                                        "id_selected_packet,") + wordColumns() + QStringLiteral(") values ");
    QStringList rows;
    for (int i = 1; i <= n; ++i) {
        QString r = QStringLiteral("(%1,'Абонент %1',%2,%3,%4,%5").arg(i * 7).arg(i % 10 == 0 ? 0 : 1)
                        .arg(int(rng->bounded(-5000, 50000))).arg(i % 20 == 0 ? 1 : 0).arg(1 + i % 3);
        for (int w = 1; w <= 64; ++w) r += QLatin1Char(',') + QString::number(w <= 62 ? rng->bounded(0x8000) : 0);
        rows << r + QLatin1Char(')');
        if (rows.size() == 2000 || i == n) {
            run(head + rows.join(','));
            rows.clear();
        }
    }
}

// The floor: the rows the reload wrote, written again by one statement per table.
struct Floor {
    QString slotRows;
    QString tasks;
};

Floor floorStatements() {
    Floor f;
    QStringList rows;
    QSqlQuery q;
    q.setForwardOnly(true);
    q.exec(QStringLiteral("select Id_mesta, zanyat, id_abona from svobodnie_mesta order by Id_mesta"));
    while (q.next())
        rows << QStringLiteral("(%1,%2,%3)").arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toInt());
    f.slotRows = QStringLiteral("insert into svobodnie_mesta (Id_mesta,zanyat,id_abona) values ") + rows.join(',');
    rows.clear();
    q.exec(QStringLiteral("select * from zadaniya order by id"));
    while (q.next()) {
        QStringList v;
        for (int c = 1; c < 70; ++c) v << q.value(c).toString();
        rows << QLatin1Char('(') + v.join(',') + QLatin1Char(')');
    }
    f.tasks = QStringLiteral("insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest,") + wordColumns() +
              QStringLiteral(",balans) values ") + rows.join(',');
    return f;
}

template <class F>
double bestMs(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

void benchReload(const Options& o) {
    double editMs = 0, refreshMs = 0;
    std::printf("reload              subscribers   reload ms    floor ms   ratio   us/subscriber\n");
    for (int n : {1000, 5000, 20000}) {
        generateRegister(n);
        kavrin::Datasets ds;
        kavrin::SubscriberRegister reg(ds);
        ds.abons.open();
        ds.packages.open();
        ds.slotMap.open();
        ds.tasks.open();
        const double reload = bestMs(o.runs, [&] { reg.N6Click(); });
        const Floor floor = floorStatements();
        const double bulk = bestMs(o.runs, [&] {
            run(QStringLiteral("TRUNCATE svobodnie_mesta"));
            run(QStringLiteral("TRUNCATE zadaniya"));
            run(floor.slotRows);
            run(floor.tasks);
        });
        std::printf("                    %11d  %10.1f  %10.1f  %6.2f  %14.1f\n", n, reload, bulk, reload / bulk,
                    reload * 1000.0 / n);
        if (n == 20000) {
            // One operator edit of a switched-on subscriber: post, its full record, the apply step re-reading
            // the register; beside the register's re-read alone.
            ds.abons.locate(QStringLiteral("Id"), 7 * 1001);
            int phone = 0;
            editMs = bestMs(o.runs, [&] {
                ds.abons.setValue(QStringLiteral("Tel"), QString::number(++phone));
                ds.abons.post();
            });
            refreshMs = bestMs(o.runs, [&] { ds.abons.refresh(); });
        }
        ds.closeAll();
    }
    std::printf("\none edit of a switched-on subscriber, register of 20000\n");
    std::printf("  post with its task and apply %8.1f ms   floor (re-reading the register) %6.1f ms\n", editMs,
                refreshMs);
}

void benchChannelEditor(const Options& o) {
    run(QStringLiteral("TRUNCATE kanals"));
    for (int s = 1; s <= 62; ++s) {
        QStringList names;
        for (int j = 0; j < 16; ++j) names << QStringLiteral("'Канал %1-%2'").arg(s).arg(j + 1);
        QStringList cols;
        for (int j = 0; j < 16; ++j) cols << QStringLiteral("kan_%1").arg(j);
        run(QStringLiteral("insert into kanals (NStream,%1) values (%2,%3)").arg(cols.join(',')).arg(s).arg(names.join(',')));
    }
    kavrin::Datasets ds;
    kavrin::SubscriberRegister reg(ds);
    ds.abons.open();
    ds.packages.open();
    ds.channels.open();
    QElapsedTimer created;
    created.start();
    kavrin::TForm2 form(reg);
    const double createMs = created.nsecsElapsed() / 1e6;
    const double open = bestMs(o.runs * 3, [&] {
        form.show();
        form.Button3Click();
    });
    const double floor = bestMs(o.runs * 3, [&] {
        kavrin::return_max_len_kanal_name();
        ds.packages.refresh();
        ds.channels.refresh();
    });
    std::printf("\nchannel editor (62 streams x 16 channels)\n");
    std::printf("  created once at start   %8.1f ms\n", createMs);
    std::printf("  opening                 %8.1f ms   floor (its database reads) %6.1f ms\n", open, floor);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options o = parse(app.arguments());
    connectAndCreate(o);
    benchReload(o);
    benchChannelEditor(o);
    run(QStringLiteral("DROP DATABASE kavrin_bench_register"));
    return 0;
}
