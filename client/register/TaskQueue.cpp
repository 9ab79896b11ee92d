#include "register/TaskQueue.h"

#include "data/Sql.h"
#include "register/RegisterSql.h"

namespace kavrin::tasks {

bool queueFullRecord(int slot, int recordId, int slotCount, int sourceSubscriberId) {
    return execSql(sql::fullRecordFromSubscriber(), {slot, recordId, slotCount, sourceSubscriberId})
               .numRowsAffected() > 0;
}

bool queueFullRecordFromPackage(int slot, int recordId, int slotCount, int balance, qint64 packageId) {
    return execSql(sql::fullRecordFromPackage(), {slot, recordId, slotCount, balance, packageId})
               .numRowsAffected() > 0;
}

void queueAllChannelsOff(int slot, int recordId, int slotCount, int balance) {
    execSql(sql::allChannelsOffRecord(), {slot, recordId, slotCount, balance});
}

void queueDelete(int slot, int recordId, int slotCount) { execSql(sql::kDeleteRecord, {slot, recordId, slotCount}); }

void clear() { execSql(sql::kEmptyTasks); }

void insertFullRecords(const std::vector<Row>& rows) {
    // Numbers only, formatted here: a multi-row insert keeps the queue order and costs one round trip per batch.
    constexpr size_t kBatch = 1000;
    const QString head = QStringLiteral("insert into zadaniya (") + sql::taskColumns() + QStringLiteral(") values ");
    for (size_t from = 0; from < rows.size(); from += kBatch) {
        const size_t to = std::min(rows.size(), from + kBatch);
        QString statement = head;
        statement.reserve(int(head.size() + (to - from) * 400));
        for (size_t i = from; i < to; ++i) {
            const Row& r = rows[i];
            statement += i > from ? QStringLiteral(",(") : QStringLiteral("(");
            statement += QString::number(r.slot) + QLatin1Char(',') + QString::number(r.recordId) +
                         QStringLiteral(",1,") + QString::number(r.slotCount);
            for (quint16 w : r.words) {
                statement += QLatin1Char(',');
                statement += QString::number(w);
            }
            statement += QLatin1Char(',') + QString::number(r.balance) + QLatin1Char(')');
        }
        execSql(statement);
    }
}

}  // namespace kavrin::tasks
