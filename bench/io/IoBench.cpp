// Times the new-subscriber and payments imports of 1,000 and 5,000 lines into a register that already holds
// 20,000 subscribers and is shown in a sorted grid model, beside the floor: the same rows inserted by one bulk
// statement, and every row the import wrote, by one bulk statement per table. Then times the list
// filter over 100,000 subscribers beside a bare scan of the same rows. Works in its own database
// `kavrin_bench` on the server given by KAVRIN_BENCH_DB_PORT (user root, password KAVRIN_BENCH_DB_PASSWORD
// or "kavrin").
#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Datasets.h"
#include "data/FilterProxyModel.h"
#include "data/Sql.h"
#include "io/FileImports.h"
#include "io/SubscriberFilter.h"
#include "register/SubscriberRegister.h"
#include "support/BenchDatabase.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

using namespace kavrin;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void run(const QString& sql) { execSql(sql); }

void createDatabase() { bench::createSchemaDatabase(connection(), QStringLiteral("kavrin_bench")); }

// Answers the open-file dialog with the file to import and counts the messages.
class BenchDialogs : public Dialogs {
public:
    QString file;
    int messages = 0;
    QString lastMessage;
    void message(const QString& text, const QString&, Icon) override {
        ++messages;
        lastMessage = text;
    }
    Answer question(const QString&, const QString&, Buttons, Icon) override { return Answer::Yes; }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&) override { return file; }
};

const QStringList kStreets = {QStringLiteral("Садовая"), QStringLiteral("Лесная"), QStringLiteral("Мира"),
                              QStringLiteral("Садовый проезд"), QStringLiteral("Шевченко"), QStringLiteral("Гагарина")};

// `count` subscribers numbered from 1, each with an occupied slot; every third switched off.
void makeRegister(int count) {
    run(QStringLiteral("TRUNCATE abons"));
    run(QStringLiteral("TRUNCATE svobodnie_mesta"));
    run(QStringLiteral("TRUNCATE zadaniya"));
    run(QStringLiteral("TRUNCATE prihod_rashod"));
    run(QStringLiteral("TRUNCATE street"));
    for (const QString& s : kStreets) execSql(QStringLiteral("insert into street (Name_Street) values (?)"), {s});
    QStringList rows, slotRows;
    for (int id = 1; id <= count; ++id) {
        rows << QStringLiteral("(%1,'Фамилия%2','Имя','Отчество',%3,'1','','2','555','',"
                               "'2012-01-01',%4,%5)")
                    .arg(id).arg(id % 977).arg(1 + id % kStreets.size()).arg(id % 3 ? 1 : 0).arg(id * 7 % 5000);
        slotRows << QStringLiteral("(%1,1,%1)").arg(id);
        if (rows.size() == 2000 || id == count) {
            run(QStringLiteral("insert into abons (Id,Name1,Name2,Name3,N_Street,Dom,Drob,Kvartira,Tel,Mob,Data_Create,"
                               "`lock`,money) values ") + rows.join(u','));
            run(QStringLiteral("insert into svobodnie_mesta (Id_mesta,zanyat,id_abona) values ") + slotRows.join(u','));
            rows.clear();
            slotRows.clear();
        }
    }
}

QString newSubscriberLine(int id) {
    return QStringLiteral("%1;Новиков%2;Пётр;Ильич;%3;12;;5;223344;;01.02.2013;%4;%5,25;0;0")
        .arg(id).arg(id % 100).arg(kStreets[id % kStreets.size()]).arg(id % 2).arg(id % 300);
}

QString paymentLine(int i, int registerSize) {
    return QStringLiteral("%1;%2%3,50;01.02.2013").arg(1 + (i * 7919) % registerSize).arg(i % 4 ? "" : "-").arg(i % 90);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QStringList& lines) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return path;
}

// The register as the main window shows it: a model over the dataset and the grid's filter proxy, sorted by Id.
// The imports pay for whatever the views do with every change.
struct RegisterGrid {
    DataSetModel model{Datasets::shared().abons,
                       {{QStringLiteral("Id"), QStringLiteral("ID")}, {QStringLiteral("Name1"), QStringLiteral("Фамилия")},
                        {QStringLiteral("money"), QStringLiteral("Баланс")}}};
    FilterProxyModel view;
    RegisterGrid() {
        view.setSourceModel(&model);
        view.sort(0, Qt::AscendingOrder);
    }
};

void openRegister() {
    Datasets::shared().closeAll();
    Datasets::shared().openAll();
}

// The floor: the same new rows by one bulk statement. With `perLine`, one statement per row instead: the
// least a line-by-line import costs, for comparison.
double newSubscribersFloor(int base, int lines, bool perLine = false) {
    run(QStringLiteral("delete from abons where Id > %1").arg(base));
    QStringList rows;
    for (int i = 1; i <= lines; ++i) {
        const int id = base + i;
        rows << QStringLiteral("(%1,'Новиков%2','Пётр','Ильич',%3,'12','','5','223344','','2013-02-01',%4,%5,0,0)")
                    .arg(id).arg(id % 100).arg(1 + id % kStreets.size()).arg(id % 2).arg((id % 300) * 100 + 25);
    }
    const QString head = QStringLiteral("insert into abons (Id,Name1,Name2,Name3,N_Street,Dom,Drob,Kvartira,Tel,Mob,"
                                        "Data_Create,`lock`,money,abonplata,flag_for_abonplata) values ");
    const auto t = Clock::now();
    if (perLine)
        for (const QString& row : rows) run(head + row);
    else
        run(head + rows.join(u','));
    return seconds(t);
}

// Every row the import wrote to the tables named, taken out and put back by one multi-row INSERT per table:
// the least that sending those rows costs, whatever way they are worked out.
double writtenRowsFloor(const std::vector<std::pair<QString, QString>>& tablesAndConditions) {
    double total = 0;
    for (const auto& [table, where] : tablesAndConditions) {
        QSqlQuery q = execSql(QStringLiteral("select * from %1 where %2").arg(table, where));
        const QSqlDriver* driver = connection().driver();
        QString head;
        QStringList rows;
        while (q.next()) {
            const QSqlRecord r = q.record();
            QStringList names, values;
            for (int i = 0; i < r.count(); ++i) {
                names << QLatin1Char('`') + r.fieldName(i) + QLatin1Char('`');
                values << driver->formatValue(r.field(i));
            }
            if (head.isEmpty()) head = QStringLiteral("insert into %1 (%2) values ").arg(table, names.join(u','));
            rows << QLatin1Char('(') + values.join(u',') + QLatin1Char(')');
        }
        run(QStringLiteral("delete from %1 where %2").arg(table, where));
        const auto t = Clock::now();
        if (!rows.isEmpty()) run(head + rows.join(u','));
        total += seconds(t);
    }
    return total;
}

double paymentsFloor(int lines, int registerSize) {
    run(QStringLiteral("TRUNCATE prihod_rashod"));
    QStringList rows;
    for (int i = 0; i < lines; ++i)
        rows << QStringLiteral("(%1,1,0,%2,0,'2013-02-01')").arg(1 + (i * 7919) % registerSize).arg((i % 90) * 100 + 50);
    const auto t = Clock::now();
    run(QStringLiteral("insert into prihod_rashod (id_abona,tip_operacii,kanals_count,summa,posle_oplati,date) values ") +
        rows.join(u','));
    return seconds(t);
}

// A fresh register of `registerSize` subscribers shown in the grid, the file of `lines` offered to the
// open-file dialog, then the import timed.
double timeImport(BenchDialogs& dialogs, const QTemporaryDir& dir, int registerSize, const QStringList& lines,
                  void (FileImports::*import)()) {
    makeRegister(registerSize);
    openRegister();
    dialogs.file = writeFile(dir, QStringLiteral("import.txt"), lines);
    dialogs.messages = 0;
    SubscriberRegister reg(Datasets::shared());
    RegisterGrid grid;
    const auto t = Clock::now();
    (FileImports(reg).*import)();
    return seconds(t);
}

void benchImports(BenchDialogs& dialogs, const QTemporaryDir& dir, const QString& only) {
    const int base = 20000;
    std::printf("Imports into a register of %d subscribers (seconds):\n", base);
    std::printf("Floor: the same new subscriber or journal rows by one bulk statement; all rows: every row the import\n"
                "wrote (subscribers, slots, tasks, journal) by one bulk statement per table.\n");
    std::printf("%-22s %7s %10s %10s %8s %10s %8s %12s\n", "import", "lines", "import", "floor", "ratio", "all rows",
                "ratio", "row by row");
    for (int lines : {1000, 5000}) {
        if (!only.isEmpty() && only != QStringLiteral("new")) break;
        QStringList text;
        for (int i = 1; i <= lines; ++i) text << newSubscriberLine(base + i);
        const double import = timeImport(dialogs, dir, base, text, &FileImports::importNewSubscribers);
        const int added = scalarSql(QStringLiteral("select count(*) from abons where Id > ?"), {base}).toInt();
        if (added != lines || dialogs.messages != 0)
            std::printf("  unexpected: %d rows added, %d messages (%s)\n", added, dialogs.messages,
                        qPrintable(dialogs.lastMessage));
        const double allRows = writtenRowsFloor({{QStringLiteral("abons"), QStringLiteral("Id > %1").arg(base)},
                                                 {QStringLiteral("svobodnie_mesta"), QStringLiteral("id_abona > %1").arg(base)},
                                                 {QStringLiteral("zadaniya"), QStringLiteral("1=1")}});
        const double floor = newSubscribersFloor(base, lines);
        const double rowByRow = newSubscribersFloor(base, lines, true);
        std::printf("%-22s %7d %10.3f %10.3f %8.1f %10.3f %8.1f %12.3f\n", "new subscribers", lines, import, floor,
                    import / floor, allRows, import / allRows, rowByRow);
    }
    for (int lines : {1000, 5000}) {
        if (!only.isEmpty() && only != QStringLiteral("payments")) break;
        QStringList text;
        for (int i = 0; i < lines; ++i) text << paymentLine(i, base);
        const double import = timeImport(dialogs, dir, base, text, &FileImports::importPayments);
        const int booked = scalarSql(QStringLiteral("select count(*) from prihod_rashod")).toInt();
        if (booked != lines || dialogs.messages != 1)
            std::printf("  unexpected: %d rows booked, %d messages (%s)\n", booked, dialogs.messages,
                        qPrintable(dialogs.lastMessage));
        const double allRows = writtenRowsFloor({{QStringLiteral("prihod_rashod"), QStringLiteral("1=1")},
                                                 {QStringLiteral("zadaniya"), QStringLiteral("1=1")}});
        const double floor = paymentsFloor(lines, base);
        std::printf("%-22s %7d %10.3f %10.3f %8.1f %10.3f %8.1f\n", "payments", lines, import, floor, import / floor,
                    allRows, import / allRows);
    }
}

void benchFilter() {
    const int count = 100000;
    makeRegister(count);
    openRegister();
    ClientDataSet& abons = Datasets::shared().abons;
    DataSetModel model(abons, {{QStringLiteral("Id"), QStringLiteral("ID")}});
    FilterProxyModel view;
    view.setSourceModel(&model);
    std::printf("\nList filter over %d subscribers (seconds):\n", count);
    std::printf("%-34s %8s %10s %10s\n", "filter", "shown", "filter", "floor");

    // The floor: one pass over the rows testing the surname alone, with no model in between.
    const int name1 = abons.fieldIndex(QStringLiteral("Name1"));
    auto t = Clock::now();
    int matched = 0;
    for (int r = 0; r < abons.recordCount(); ++r)
        if (abons.value(r, name1).toString().contains(QStringLiteral("ия12"), Qt::CaseInsensitive)) ++matched;
    const double floor = seconds(t);

    const struct {
        const char* what;
        FilterBoxes boxes;
    } cases[] = {
        {"surname fragment", {.name1 = QStringLiteral("ИЯ12")}},
        {"street group + switched off", {.street = QStringLiteral("сад"), .lock = LockChoice::Off}},
        {"balance 12,5", {.balance = QStringLiteral("12,5")}},
        {"surname + street + on + house", {.name1 = QStringLiteral("фам"), .street = QStringLiteral("Мира"),
                                           .dom = QStringLiteral("1"), .lock = LockChoice::On}},
    };
    for (const auto& c : cases) {
        t = Clock::now();
        view.setFilter(buildSubscriberFilter(c.boxes));
        const int shown = view.rowCount();
        std::printf("%-34s %8d %10.3f %10.3f\n", c.what, shown, seconds(t), floor);
    }
    t = Clock::now();
    view.clearFilter();
    std::printf("%-34s %8d %10.3f\n", "clearing", view.rowCount(), seconds(t));
    (void)matched;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"));
    db.setHostName(QStringLiteral("127.0.0.1"));
    db.setPort(qEnvironmentVariableIntValue("KAVRIN_BENCH_DB_PORT") ?: 3306);
    db.setUserName(QStringLiteral("root"));
    db.setPassword(qEnvironmentVariableIsSet("KAVRIN_BENCH_DB_PASSWORD") ? qEnvironmentVariable("KAVRIN_BENCH_DB_PASSWORD")
                                                                          : QStringLiteral("kavrin"));
    db.setConnectOptions(QStringLiteral("MYSQL_OPT_RECONNECT=0"));
    if (!db.open()) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(db.lastError().text()));
        return 1;
    }
    run(QStringLiteral("SET NAMES utf8mb4"));
    createDatabase();
    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    QTemporaryDir dir;
    // An optional argument runs one part only: new, payments or filter.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only != QStringLiteral("filter")) benchImports(dialogs, dir, only);
    if (only.isEmpty() || only == QStringLiteral("filter")) benchFilter();
    Dialogs::install(nullptr);
    Datasets::shared().closeAll();
    return 0;
}
