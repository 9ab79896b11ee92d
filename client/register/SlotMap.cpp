#include "register/SlotMap.h"

#include "data/Sql.h"
#include "register/RegisterSql.h"

namespace kavrin::slotmap {

int occupiedCount(int subscriberId) { return scalarSql(sql::kCountOccupiedSlots, {subscriberId}).toInt(); }

int occupiedSlot(int subscriberId) { return scalarSql(sql::kOccupiedSlot, {subscriberId}).toInt(); }

int highest() { return scalarSql(sql::kHighestSlot).toInt(); }

int occupy(int subscriberId) {
    // Another client may take the same free slot between the look-up and the update: then look again.
    for (;;) {
        const int free = scalarSql(sql::kFirstFreeSlot).toInt();
        if (free == 0) break;
        if (execSql(sql::kOccupySlot, {subscriberId, free}).numRowsAffected() == 1) return free;
    }
    const int slot = highest() + 1;
    execSql(sql::kCreateSlot, {slot, subscriberId});
    return slot;
}

void occupyFree(int slot, int subscriberId) {
    if (execSql(sql::kOccupySlot, {subscriberId, slot}).numRowsAffected() != 1)
        throw DatabaseError(QStringLiteral("Место %1 уже занято другим абонентом").arg(slot));
}

void release(int slot) { execSql(sql::kReleaseSlot, {slot}); }

void reassign(int slot, int newSubscriberId) { execSql(sql::kReassignSlot, {newSubscriberId, slot}); }

void clear() { execSql(sql::kEmptySlots); }

void insertOccupied(const std::vector<std::pair<int, int>>& rows) {
    constexpr size_t kBatch = 5000;
    for (size_t from = 0; from < rows.size(); from += kBatch) {
        QString statement = sql::kInsertSlotsHead;
        const size_t to = std::min(rows.size(), from + kBatch);
        statement.reserve(int(statement.size() + (to - from) * 24));
        for (size_t i = from; i < to; ++i) {
            if (i > from) statement += QLatin1Char(',');
            statement += QStringLiteral("(%1,1,%2)").arg(rows[i].first).arg(rows[i].second);
        }
        execSql(statement);
    }
}

}  // namespace kavrin::slotmap
