// The reload: the slot map and the task queue rebuilt from the whole register. Subscriber k of the register
// dataset (in its own order, whatever the grid's filter shows) gets slot k and one type-1 task whose slot count
// is k. The work is linear: the database rows are read once and the rows go out in multi-row inserts, slots
// before their tasks, so the server can start on the first tasks while later ones are still being written.
#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "register/BulkWrites.h"
#include "register/RegisterSql.h"
#include "register/SlotMap.h"
#include "register/SubscriberRegister.h"
#include "register/TaskQueue.h"

#include <QHash>

namespace kavrin {

namespace {

struct StoredRecord {
    tasks::Words words{};
    int balance = 0;
};

// Id -> the 64 words (and, for subscribers, the balance) as the database holds them.
QHash<qint64, StoredRecord> readRecords(const QString& select, bool withBalance) {
    QHash<qint64, StoredRecord> records;
    QSqlQuery q = execSql(select);
    while (q.next()) {
        StoredRecord r;
        for (int i = 0; i < 64; ++i) r.words[size_t(i)] = quint16(q.value(i + 1).toUInt());
        if (withBalance) r.balance = q.value(65).toInt();
        records.insert(q.value(0).toLongLong(), r);
    }
    return records;
}

}  // namespace

void SubscriberRegister::N6Click(const ReloadProgress& progress) {
    ClientDataSet& a = ds_.abons;
    // A row still being edited is saved the ordinary way first, while its slot still exists.
    if (a.isOpen()) a.postIfEditing();
    if (bulk_) bulk_->flush();
    // Changes waiting in the slot and task datasets describe a map and a queue that no longer exist.
    slotmap::clear();
    ds_.slotMap.cancelPendingUpdates();
    tasks::clear();
    ds_.tasks.cancelPendingUpdates();

    const int n = a.isOpen() ? a.recordCount() : 0;
    if (n == 0) return;

    // Full records copy the stored rows, so the register's own changes go out first.
    a.applyPendingUpdates();
    const QHash<qint64, StoredRecord> subscribers = readRecords(sql::subscriberWords(), true);
    const QHash<qint64, StoredRecord> packages = readRecords(sql::packageWords(), false);
    const int idColumn = a.fieldIndex(QStringLiteral("Id"));
    const int lockColumn = a.fieldIndex(QStringLiteral("lock"));
    const int priorityColumn = a.fieldIndex(QStringLiteral("flag_packet_prioritet"));
    const int packageColumn = a.fieldIndex(QStringLiteral("id_selected_packet"));
    const int moneyColumn = a.fieldIndex(QStringLiteral("money"));

    if (progress.started) progress.started(n);
    constexpr int kStep = 1000;
    std::vector<std::pair<int, int>> slotRows;
    std::vector<tasks::Row> taskRows;
    slotRows.reserve(kStep);
    taskRows.reserve(kStep);
    auto flush = [&](int handled) {
        slotmap::insertOccupied(slotRows);
        tasks::insertFullRecords(taskRows);
        slotRows.clear();
        taskRows.clear();
        if (progress.advanced) progress.advanced(handled);
    };

    for (int row = 0; row < n; ++row) {
        const int id = a.value(row, idColumn).toInt();
        const int slot = row + 1;
        slotRows.emplace_back(slot, id);
        tasks::Row task;
        task.slot = slot;
        task.recordId = id;
        task.slotCount = slot;
        const int registerBalance = a.value(row, moneyColumn).toInt();
        bool queue = true;
        if (a.value(row, lockColumn).toInt() != 1) {
            task.balance = registerBalance;  // all channels off
        } else if (a.value(row, priorityColumn).toInt() == 1) {
            const auto package = packages.constFind(a.value(row, packageColumn).toLongLong());
            queue = package != packages.constEnd();
            if (queue) {
                task.words = package->words;
                task.balance = registerBalance;
            }
        } else {
            const auto stored = subscribers.constFind(id);
            queue = stored != subscribers.constEnd();
            if (queue) {
                task.words = stored->words;
                task.balance = stored->balance;
            }
        }
        if (queue) taskRows.push_back(task);
        if (slotRows.size() == size_t(kStep)) flush(row + 1);
    }
    if (!slotRows.empty()) flush(n);

    if (progress.finished) progress.finished();
    refresh_register();
}

}  // namespace kavrin
