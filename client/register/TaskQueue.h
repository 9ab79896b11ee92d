#pragma once
// Task rows of table zadaniya, types 1 and 2. The server reads them by column position and performs them in
// id order, so each call appends exactly one row (or none) and the column contents are a wire format.
#include <QtGlobal>
#include <array>
#include <vector>

namespace kavrin::tasks {

// Entitlement words 64_1 .. 64_64 (index 0 is word 1).
using Words = std::array<quint16, 64>;

// Type 1, full record: words and balance copied from the subscriber's database row. Returns false (nothing
// queued) when that row does not exist.
bool queueFullRecord(int slot, int recordId, int slotCount, int sourceSubscriberId);
// Type 1, full record under package priority: the package's words and the given balance. Returns false
// (nothing queued) when the package does not exist.
bool queueFullRecordFromPackage(int slot, int recordId, int slotCount, int balance, qint64 packageId);
// Type 1, all channels off, carrying the balance.
void queueAllChannelsOff(int slot, int recordId, int slotCount, int balance);
// Type 2: the slot no longer belongs to anybody.
void queueDelete(int slot, int recordId, int slotCount);

void clear();

// A task row built in memory, for appending many at once (the reload).
struct Row {
    int slot = 0;
    int recordId = 0;
    int slotCount = 0;
    Words words{};
    int balance = 0;
};
// Appends type-1 rows in the given order, in few statements; the ids follow that order.
void insertFullRecords(const std::vector<Row>& rows);

}  // namespace kavrin::tasks
