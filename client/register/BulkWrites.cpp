#include "register/BulkWrites.h"

#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "register/RegisterSql.h"
#include "register/SlotMap.h"

#include <algorithm>

namespace kavrin {

namespace {

tasks::Words wordsFrom(const QSqlQuery& q, int first) {
    tasks::Words w{};
    for (int i = 0; i < 64; ++i) w[size_t(i)] = quint16(q.value(first + i).toUInt());
    return w;
}

}  // namespace

// ---- What the database holds ------------------------------------------------------------------------------

void BulkWrites::loadSlots() {
    if (slotsLoaded_) return;
    free_.clear();
    occupants_.clear();
    highest_ = 0;
    QSqlQuery q = execSql(sql::kSlotMapInOrder);
    while (q.next()) {
        const int slot = q.value(0).toInt();
        highest_ = std::max(highest_, slot);
        if (q.value(1).toInt() != 1) {
            free_.push_back(slot);
            continue;
        }
        Occupant& o = occupants_[q.value(2).toInt()];
        if (o.count++ == 0) o.slot = slot;
    }
    slotsLoaded_ = true;
}

void BulkWrites::loadSubscriberIds() {
    if (idsLoaded_) return;
    QSqlQuery q = execSql(sql::kSubscriberIds);
    while (q.next()) ids_.insert(q.value(0).toInt());
    idsLoaded_ = true;
}

bool BulkWrites::subscriberExists(int id) {
    loadSubscriberIds();
    return ids_.contains(id);
}

std::optional<SubscriberRecord> BulkWrites::subscriber(int id) {
    if (auto it = records_.constFind(id); it != records_.constEnd()) return *it;
    QSqlQuery q = execSql(sql::subscriberRecord(), {id});
    if (!q.next()) return std::nullopt;
    SubscriberRecord r;
    r.packagePriority = q.value(0).toInt() == 1;
    r.packageId = q.value(1).toLongLong();
    r.balance = q.value(2).toInt();
    r.words = wordsFrom(q, 3);
    return r;
}

void BulkWrites::knowSubscriber(int id, const SubscriberRecord& record) { records_.insert(id, record); }

std::optional<tasks::Words> BulkWrites::packageWords(qint64 packageId) {
    if (!packagesLoaded_) {
        QSqlQuery q = execSql(sql::packageWords());
        while (q.next()) packages_.insert(q.value(0).toLongLong(), wordsFrom(q, 1));
        packagesLoaded_ = true;
    }
    if (auto it = packages_.constFind(packageId); it != packages_.constEnd()) return *it;
    return std::nullopt;
}

// ---- The plan -----------------------------------------------------------------------------------------------

int BulkWrites::slotOfOp(size_t op, const std::vector<int>& freeSlots, int high) const {
    return op < freeSlots.size() ? freeSlots[op] : high + int(op - freeSlots.size()) + 1;
}

int BulkWrites::highestAfter(size_t ops, const std::vector<int>& freeSlots, int high) const {
    return ops <= freeSlots.size() ? high : high + int(ops - freeSlots.size());
}

int BulkWrites::occupiedCount(int subscriberId) {
    loadSlots();
    return occupants_.value(subscriberId).count;
}

int BulkWrites::occupiedSlot(int subscriberId) {
    loadSlots();
    return occupants_.value(subscriberId).slot;
}

int BulkWrites::highest() {
    loadSlots();
    return highestAfter(ops_.size(), free_, highest_);
}

int BulkWrites::occupy(int subscriberId) {
    loadSlots();
    const int slot = slotOfOp(ops_.size(), free_, highest_);
    opBySlot_.insert(slot, int(ops_.size()));
    ops_.push_back(subscriberId);
    Occupant& o = occupants_[subscriberId];
    if (o.count++ == 0 || slot < o.slot) o.slot = slot;
    if (idsLoaded_) ids_.insert(subscriberId);
    return slot;
}

void BulkWrites::queueRecord(int slot, int recordId, const tasks::Words& words, int balance) {
    PlannedTask t;
    const auto planned = opBySlot_.constFind(slot);
    if (planned != opBySlot_.constEnd())
        t.op = *planned;
    else
        t.slot = slot;
    t.opsBefore = int(ops_.size());
    t.recordId = recordId;
    t.words = words;
    t.balance = balance;
    tasks_.push_back(t);
}

// ---- Flush --------------------------------------------------------------------------------------------------

void BulkWrites::flush() {
    loadSlots();
    std::vector<int> freeSlots = free_;
    int high = highest_;
    Transaction transaction;
    if (!ops_.empty()) {
        // The slot map as it stands now, held until the commit, so no other client takes what the plan uses.
        freeSlots.clear();
        QSqlQuery q = execSql(sql::kLockFreeSlots);
        while (q.next()) freeSlots.push_back(q.value(0).toInt());
        high = scalarSql(sql::kLockLastSlot).toInt();
    }
    // The register's rows go first, as the apply step would send them; the import re-reads the register when
    // it ends, so the rows need not be read back one group at a time.
    ds_.abons.applyPendingUpdates(false);
    ds_.slotMap.applyPendingUpdates();
    ds_.journal.applyPendingUpdates();

    std::vector<std::pair<int, int>> newSlots;
    for (size_t op = 0; op < ops_.size(); ++op) {
        const int slot = slotOfOp(op, freeSlots, high);
        if (op < freeSlots.size())
            slotmap::occupyFree(slot, ops_[op]);
        else
            newSlots.emplace_back(slot, ops_[op]);
    }
    slotmap::insertOccupied(newSlots);

    std::vector<tasks::Row> rows;
    rows.reserve(tasks_.size());
    for (const PlannedTask& t : tasks_) {
        tasks::Row r;
        r.slot = t.op >= 0 ? slotOfOp(size_t(t.op), freeSlots, high) : t.slot;
        r.recordId = t.recordId;
        r.slotCount = highestAfter(size_t(t.opsBefore), freeSlots, high);
        r.words = t.words;
        r.balance = t.balance;
        rows.push_back(r);
    }
    tasks::insertFullRecords(rows);
    transaction.commit();

    // What was sent is now the slot map as this client knows it.
    for (size_t op = 0; op < ops_.size(); ++op) {
        const int provisional = slotOfOp(op, free_, highest_);
        Occupant& o = occupants_[ops_[op]];
        if (o.slot == provisional) o.slot = slotOfOp(op, freeSlots, high);
    }
    highest_ = highestAfter(ops_.size(), freeSlots, high);
    free_.assign(freeSlots.begin() + std::min(ops_.size(), freeSlots.size()), freeSlots.end());
    ops_.clear();
    opBySlot_.clear();
    tasks_.clear();
}

void BulkWrites::discard() {
    ops_.clear();
    opBySlot_.clear();
    tasks_.clear();
    records_.clear();
    // The occupants and ids counted the planned slots: read them again when next asked.
    slotsLoaded_ = false;
    idsLoaded_ = false;
    ids_.clear();
}

}  // namespace kavrin
