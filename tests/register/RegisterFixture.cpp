#include "RegisterFixture.h"

#include <QStringList>

namespace kavrin::test {

namespace {

QString wordColumns() {
    QStringList c;
    for (int i = 1; i <= 64; ++i) c << QStringLiteral("64_%1").arg(i);
    return c.join(QLatin1Char(','));
}

QString wordValues(const WordMap& words) {
    QStringList v;
    for (int i = 1; i <= 64; ++i) v << QString::number(words.count(i) ? words.at(i) : 0);
    return v.join(QLatin1Char(','));
}

}  // namespace

TaskRow fullRecord(int slot, int id, int count, const WordMap& words, int balance) {
    TaskRow r{slot, id, 1, count};
    for (int i = 1; i <= 64; ++i) r << (words.count(i) ? words.at(i) : 0);
    r << balance;
    return r;
}

TaskRow allOffRecord(int slot, int id, int count, int balance) { return fullRecord(slot, id, count, {}, balance); }

TaskRow deleteRecord(int slot, int id, int count) {
    TaskRow r = fullRecord(slot, id, count, {}, 0);
    r[2] = 2;
    return r;
}

std::vector<TaskRow> queuedTasks() {
    std::vector<TaskRow> rows;
    QSqlQuery q = exec(QStringLiteral("select * from zadaniya order by id"));
    while (q.next()) {
        TaskRow r;
        for (int c = 1; c < 70; ++c) r << q.value(c).toLongLong();
        rows.push_back(r);
    }
    return rows;
}

std::vector<std::array<int, 3>> slotMap() {
    std::vector<std::array<int, 3>> rows;
    QSqlQuery q = exec(QStringLiteral("select Id_mesta, zanyat, id_abona from svobodnie_mesta order by Id_mesta"));
    while (q.next()) rows.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt()});
    return rows;
}

void insertSubscriber(int id, int lock, int money, const WordMap& words, int packagePriority, int packageId) {
    exec(QStringLiteral("insert into abons (Id,Name1,`lock`,money,flag_packet_prioritet,id_selected_packet,%1) "
                        "values (%2,'Абонент %2',%3,%4,%5,%6,%7)")
             .arg(wordColumns())
             .arg(id)
             .arg(lock)
             .arg(money)
             .arg(packagePriority)
             .arg(packageId)
             .arg(wordValues(words)));
}

void insertSlot(int slot, int occupied, int id) {
    exec(QStringLiteral("insert into svobodnie_mesta values (%1,%2,%3)").arg(slot).arg(occupied).arg(id));
}

int insertPackage(const QString& name, const WordMap& words) {
    QSqlQuery q;
    q.prepare(QStringLiteral("insert into pakets (Name_Paket,%1) values (?,%2)").arg(wordColumns(), wordValues(words)));
    q.addBindValue(name);
    EXPECT_TRUE(q.exec());
    return q.lastInsertId().toInt();
}

void RegisterTest::SetUp() {
    DatabaseTest::SetUp();
    Clock::install(&clock);
    ds = std::make_unique<Datasets>();
    reg = std::make_unique<SubscriberRegister>(*ds);
}

void RegisterTest::TearDown() {
    reg.reset();
    ds->closeAll();
    ds.reset();
    Clock::install(nullptr);
}

void RegisterTest::openRegister() {
    ds->abons.open();
    ds->slotMap.open();
    ds->journal.open();
    ds->packages.open();
    ds->channels.open();
}

}  // namespace kavrin::test
