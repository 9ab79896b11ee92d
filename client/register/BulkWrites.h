#pragma once
// Write-behind for imports. While it is open, the register's slot and task operations plan in memory what
// they would have written line by line, and the register's own row changes wait in its change log. flush()
// settles the plan under lock and sends everything in one transaction and a few multi-row statements.
//
// The plan keeps what each line would have had: the lowest free slot first, then new slots at the end, the
// slot count each task carried at its moment, the tasks in line order. Slot numbers are worked out again at
// flush time from the slot map as it then stands (locked), so another client taking a slot meanwhile moves
// the plan instead of colliding with it. Nothing is locked between flushes, so a message shown in the middle
// of an import holds up no other operator.
#include "register/TaskQueue.h"

#include <QHash>
#include <QSet>
#include <optional>
#include <vector>

namespace kavrin {

struct Datasets;

// What a subscriber's full record on the head-end is made from.
struct SubscriberRecord {
    bool packagePriority = false;
    qint64 packageId = 0;
    int balance = 0;
    tasks::Words words{};
};

class BulkWrites {
public:
    explicit BulkWrites(Datasets& datasets) : ds_(datasets) {}

    // Whether a subscriber with this Id exists: in the database when first asked, or given a slot since.
    bool subscriberExists(int id);

    // The slot map as the plan leaves it.
    int occupiedCount(int subscriberId);
    int occupiedSlot(int subscriberId);  // the lowest, 0 when none
    int highest();
    int occupy(int subscriberId);        // lowest free slot, else a new one at the end

    // Queues a full record (type 1) into a slot returned by occupiedSlot() or occupy(), with the slot count
    // of this moment. Zero words make the all-channels-off record.
    void queueRecord(int slot, int recordId, const tasks::Words& words, int balance);

    // The record of a subscriber as its task must carry it: as told by knowSubscriber(), else its database
    // row (nullopt when there is none).
    std::optional<SubscriberRecord> subscriber(int id);
    void knowSubscriber(int id, const SubscriberRecord& record);
    // A package's words (nullopt when there is no such package), read once per import.
    std::optional<tasks::Words> packageWords(qint64 packageId);

    // Sends the register's pending rows, the slots and the tasks in one transaction (joining the caller's
    // when one is open). On an error nothing of this flush is written and the plan is kept as it was.
    void flush();
    // Forgets the plan (the register's own unsent rows are the caller's to drop).
    void discard();

private:
    struct PlannedTask {
        int op = -1;         // index of the occupy() that gave the slot, or -1 for an already occupied slot
        int slot = 0;        // that already occupied slot
        int opsBefore = 0;   // occupy() calls made up to this task: its slot count follows from them
        int recordId = 0;
        tasks::Words words{};
        int balance = 0;
    };
    struct Occupant {
        int slot = 0;
        int count = 0;
    };

    void loadSlots();
    void loadSubscriberIds();
    int slotOfOp(size_t op, const std::vector<int>& freeSlots, int high) const;
    int highestAfter(size_t ops, const std::vector<int>& freeSlots, int high) const;

    Datasets& ds_;
    bool slotsLoaded_ = false;
    std::vector<int> free_;  // free slots ascending, as last seen
    int highest_ = 0;
    QHash<int, Occupant> occupants_;
    std::vector<int> ops_;                   // subscriber of each planned occupy(), in order
    QHash<int, int> opBySlot_;               // provisional slot -> planned occupy()
    std::vector<PlannedTask> tasks_;
    bool idsLoaded_ = false;
    QSet<int> ids_;
    QHash<int, SubscriberRecord> records_;
    bool packagesLoaded_ = false;
    QHash<qint64, tasks::Words> packages_;
};

}  // namespace kavrin
