#include "register/SubscriberRegister.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "register/BulkWrites.h"
#include "register/RegisterSql.h"
#include "register/SlotMap.h"
#include "register/TaskQueue.h"

#include <QStringList>
#include <utility>

namespace kavrin {

namespace {

const QString kNoSlotMessage =
    QStringLiteral("Внимание! В базе данных обнаружена критическая ошибка. Рекомендуется перезалить базу.");
const QString kManySlotsMessage =
    QStringLiteral("Внимание! В базе данных обнаружена ошибка. Рекомендуется перезалить базу.");

// "64_1" .. "64_64", the entitlement words of a subscriber row; named once, used for every new row of an import.
const QStringList& wordFields() {
    static const QStringList names = [] {
        QStringList n;
        for (int i = 1; i <= 64; ++i) n << QStringLiteral("64_%1").arg(i);
        return n;
    }();
    return names;
}

}  // namespace

SubscriberRegister::SubscriberRegister(Datasets& datasets) : ds_(datasets) {
    ClientDataSet& a = ds_.abons;
    a.beforeInsert = [this](ClientDataSet&) { ClientDataSet1BeforeInsert(); };
    a.afterInsert = [this](ClientDataSet&) { ClientDataSet1AfterInsert(); };
    a.afterEdit = [this](ClientDataSet&) { ClientDataSet1AfterEdit(); };
    a.afterPost = [this](ClientDataSet&) { ClientDataSet1AfterPost(); };
    a.afterCancel = [this](ClientDataSet&) { ClientDataSet1AfterCancel(); };
    a.beforeDelete = [this](ClientDataSet&) { ClientDataSet1BeforeDelete(); };
    a.afterDelete = [this](ClientDataSet&) { ClientDataSet1AfterDelete(); };
}

SubscriberRegister::~SubscriberRegister() {
    ClientDataSet& a = ds_.abons;
    a.beforeInsert = a.afterInsert = a.afterEdit = a.afterPost = a.afterCancel = a.beforeDelete =
        a.afterDelete = nullptr;
}

SubscriberRegister& SubscriberRegister::shared() {
    static SubscriberRegister r(Datasets::shared());
    return r;
}

ClientDataSet& SubscriberRegister::abons() const { return ds_.abons; }

bool SubscriberRegister::is_id_text_valid(const QString& text, int* id) const {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v <= 0) return false;
    *id = v;
    return true;
}

// ---- New row ----------------------------------------------------------------------------------------------

void SubscriberRegister::ClientDataSet1BeforeInsert() {
    if (sortGridById) sortGridById();
    if (import_mode != 1) {
        const std::optional<QString> answer = Dialogs::current().inputBox(
            QStringLiteral("Добавление абонента"), QStringLiteral("Введите номер абонента"), QStringLiteral("0"));
        new_id_text = answer.value_or(QStringLiteral("0"));
    }
    int id = 0;
    if (!is_id_text_valid(new_id_text, &id)) {
        showMessage(QStringLiteral("Ошибка! Не может быть id абонента = ") + new_id_text +
                    QStringLiteral(" Загрузка продолжится со следующей строки."));
        new_id = -1;
        return;
    }
    new_id = id;
    const bool exists = bulk_ ? bulk_->subscriberExists(id) : scalarSql(sql::kSubscriberExists, {id}).toInt() != 0;
    id_free = exists ? 0 : 1;
}

void SubscriberRegister::ClientDataSet1AfterInsert() {
    ClientDataSet& a = ds_.abons;
    if (new_id < 0) {
        a.cancel();
        return;
    }
    if (id_free == 0) {
        showMessage(QStringLiteral("Ошибка! Абонент с id = ") + new_id_text + QStringLiteral(" уже существует!"));
        a.cancel();
        return;
    }
    // The import takes the number from new_id_text as well; only the manual defaults are its own.
    a.setValue(QStringLiteral("Id"), new_id);
    if (import_mode == 0) {
        a.setValue(QStringLiteral("Data_Create"), Clock::current().today());
        a.setValue(QStringLiteral("lock"), 1);
        a.setValue(QStringLiteral("abonplata"), 0);
        a.setValue(QStringLiteral("money"), 0);
    }
    a.setValue(QStringLiteral("flag_for_abonplata"), 0);
    a.setValue(QStringLiteral("flag_packet_prioritet"), 0);
    a.setValue(QStringLiteral("id_selected_packet"), 0);
    for (const QString& word : wordFields()) a.setValue(word, 0);
    edit_mode = 1;
    edit_id = 0;
}

// ---- Edit, post, cancel -----------------------------------------------------------------------------------

void SubscriberRegister::ClientDataSet1AfterEdit() {
    if (abon_saving == 1) return;
    const ClientDataSet& a = ds_.abons;
    edit_mode = 2;
    edit_id = a.value(QStringLiteral("Id")).toInt();
    lock_before = a.value(QStringLiteral("lock")).toInt() == 1 ? 1 : 0;
}

void SubscriberRegister::ClientDataSet1AfterPost() {
    if (abon_saving == 1) return;
    ClientDataSet& a = ds_.abons;
    const bool on = a.value(QStringLiteral("lock")).toInt() == 1;
    const int mode = std::exchange(edit_mode, 0);
    if (mode == 1) {
        zanyat_svobodnoe_mesto();
        if (on) {
            add_zadanie(ukazatel, 0);
            select_new_record(a.value(QStringLiteral("Id")).toInt());
        }
    } else if (mode == 2) {
        const bool wasOn = lock_before == 1;
        if (on == wasOn) {
            if (on) rewrite_zap(edit_id);
        } else if (wasOn) {
            clear_kanals_for_abon(edit_id);
        } else {
            rewrite_zap(edit_id);
        }
    }
    Button2Click();
}

void SubscriberRegister::ClientDataSet1AfterCancel() {
    edit_mode = 0;
    import_mode = 0;
}

// ---- Delete -----------------------------------------------------------------------------------------------

void SubscriberRegister::ClientDataSet1BeforeDelete() {
    const ClientDataSet& a = ds_.abons;
    // An unposted new row has neither a slot nor a database row: its removal needs no device work.
    if (a.state() == ClientDataSet::State::Insert) {
        delete_pending = 0;
        return;
    }
    delete_in_edit = a.state() == ClientDataSet::State::Edit ? 1 : 0;
    delete_pending = 1;
    edit_mode = 0;
    edit_id = a.value(QStringLiteral("Id")).toInt();
}

void SubscriberRegister::ClientDataSet1AfterDelete() {
    if (delete_pending != 1) return;
    delete_pending = 0;
    // Whether or not the row was being edited, a deleted subscriber must not keep a record in the head-end.
    delete_in_edit = 0;
    del_zap(edit_id);
    Button2Click();
}

// ---- Apply step, positioning, renumbering -----------------------------------------------------------------

void SubscriberRegister::Button2Click() {
    if (bulk_) {
        refreshDue_ = true;  // the import's flush sends the changes
        return;
    }
    ds_.abons.applyPendingUpdates();
    ds_.slotMap.applyPendingUpdates();
    ds_.journal.applyPendingUpdates();
    refresh_register();
}

void SubscriberRegister::refresh_register() {
    if (batchDepth_ > 0) {
        refreshDue_ = true;
        return;
    }
    refreshDue_ = false;
    if (ds_.abons.isOpen()) ds_.abons.refresh();
}

void SubscriberRegister::select_new_record(int id) {
    ClientDataSet& a = ds_.abons;
    // A row just posted is usually the current one already; no need to search the register for it.
    if (a.isOpen() && !a.isEmpty() && !a.isEditing() && a.value(QStringLiteral("Id")).toInt() == id) return;
    a.locate(QStringLiteral("Id"), id);
}

void SubscriberRegister::Button3Click() {
    ClientDataSet& a = ds_.abons;
    if (!a.isOpen() || a.isEmpty()) return;
    a.postIfEditing();
    if (bulk_) bulk_->flush();  // the renumbering works on the slot map as stored
    const int oldId = a.value(QStringLiteral("Id")).toInt();
    const std::optional<QString> answer = Dialogs::current().inputBox(
        QStringLiteral("Изменение абонента"), QStringLiteral("Введите новый id абонента"), QString::number(oldId));
    if (!answer) return;
    int newId = 0;
    if (!is_id_text_valid(*answer, &newId)) {
        showMessage(QStringLiteral("Ошибка! Неправильно введён id абонента!"));
        return;
    }
    if (scalarSql(sql::kSubscriberExists, {newId}).toInt() != 0) {
        showMessage(QStringLiteral("Ошибка! Абонент с таким id уже существует!"));
        return;
    }
    const int slot = get_ukazatel(oldId);
    if (slot == 0) return;
    slotmap::reassign(slot, newId);
    add_zadanie(slot, newId);
    {
        Saving saving(*this);
        a.setValue(QStringLiteral("Id"), newId);
        a.post();
    }
    execSql(sql::kMoveJournal, {newId, oldId});
    execSql(sql::kMoveLastRun, {newId, oldId});
    Button2Click();
}

// ---- Slots and tasks --------------------------------------------------------------------------------------

int SubscriberRegister::get_ukazatel(int id) {
    ukazatel = 0;
    const int count = bulk_ ? bulk_->occupiedCount(id) : slotmap::occupiedCount(id);
    if (count == 0) {
        showMessage(kNoSlotMessage);
        return 0;
    }
    if (count > 1) showMessage(kManySlotsMessage);
    ukazatel = bulk_ ? bulk_->occupiedSlot(id) : slotmap::occupiedSlot(id);
    return ukazatel;
}

int SubscriberRegister::return_max_id_user_in_mesta() { return bulk_ ? bulk_->highest() : slotmap::highest(); }

int SubscriberRegister::zanyat_svobodnoe_mesto() {
    ukazatel = 0;
    const int id = ds_.abons.value(QStringLiteral("Id")).toInt();
    ukazatel = bulk_ ? bulk_->occupy(id) : slotmap::occupy(id);
    return ukazatel;
}

namespace {

// Package choice and balance of a subscriber: from the register's current row when it is that subscriber,
// else from the database row (already current, the register's changes having been sent).
struct TaskSource {
    bool found = false;
    bool packagePriority = false;
    qint64 packageId = 0;
    int balance = 0;
};

TaskSource taskSource(const ClientDataSet& a, int subscriberId) {
    TaskSource s;
    if (a.isOpen() && !a.isEmpty() && a.value(QStringLiteral("Id")).toInt() == subscriberId) {
        s.found = true;
        s.packagePriority = a.value(QStringLiteral("flag_packet_prioritet")).toInt() == 1;
        s.packageId = a.value(QStringLiteral("id_selected_packet")).toLongLong();
        s.balance = a.value(QStringLiteral("money")).toInt();
        return s;
    }
    QSqlQuery q = execSql(sql::kTaskSource, {subscriberId});
    if (q.next()) {
        s.found = true;
        s.packagePriority = q.value(0).toInt() == 1;
        s.packageId = q.value(1).toLongLong();
        s.balance = q.value(2).toInt();
    }
    return s;
}

}  // namespace

SubscriberRecord SubscriberRegister::currentRecord() const {
    const ClientDataSet& a = ds_.abons;
    SubscriberRecord r;
    r.packagePriority = a.value(QStringLiteral("flag_packet_prioritet")).toInt() == 1;
    r.packageId = a.value(QStringLiteral("id_selected_packet")).toLongLong();
    r.balance = a.value(QStringLiteral("money")).toInt();
    for (int i = 0; i < 64; ++i) r.words[size_t(i)] = quint16(a.value(wordFields()[i]).toUInt());
    return r;
}

void SubscriberRegister::queuePlannedRecord(int slot, int recordId, const SubscriberRecord& r) {
    // A missing package queues nothing, as in the direct path.
    const auto words = r.packagePriority ? bulk_->packageWords(r.packageId) : std::optional(r.words);
    if (words) bulk_->queueRecord(slot, recordId, *words, r.balance);
}

void SubscriberRegister::add_zadanie(int slot, int id) {
    ClientDataSet& a = ds_.abons;
    const int sourceId = a.value(QStringLiteral("Id")).toInt();
    const int recordId = id != 0 ? id : sourceId;
    if (bulk_) {
        queuePlannedRecord(slot, recordId, currentRecord());
        return;
    }
    a.applyPendingUpdates();
    const TaskSource s = taskSource(a, sourceId);
    const int count = return_max_id_user_in_mesta();
    // A missing package or subscriber row queues nothing, silently: the reload repairs the head-end.
    if (s.packagePriority)
        tasks::queueFullRecordFromPackage(slot, recordId, count, s.balance, s.packageId);
    else
        tasks::queueFullRecord(slot, recordId, count, sourceId);
}

void SubscriberRegister::rewrite_zap(int id) {
    if (get_ukazatel(id) == 0) return;
    ClientDataSet& a = ds_.abons;
    if (a.isOpen() && !a.isEmpty() && a.value(QStringLiteral("Id")).toInt() == id) {
        add_zadanie(ukazatel, 0);
        return;
    }
    // A subscriber other than the current row: its own database row is the source.
    if (bulk_) {
        if (const auto r = bulk_->subscriber(id)) queuePlannedRecord(ukazatel, id, *r);
        return;
    }
    a.applyPendingUpdates();
    const TaskSource s = taskSource(a, id);
    if (!s.found) return;
    const int count = return_max_id_user_in_mesta();
    if (s.packagePriority)
        tasks::queueFullRecordFromPackage(ukazatel, id, count, s.balance, s.packageId);
    else
        tasks::queueFullRecord(ukazatel, id, count, id);
}

void SubscriberRegister::clear_kanals_for_abon(int id) {
    if (get_ukazatel(id) == 0) return;
    if (bulk_) {
        const ClientDataSet& a = ds_.abons;
        int balance = 0;
        if (a.isOpen() && !a.isEmpty() && a.value(QStringLiteral("Id")).toInt() == id)
            balance = a.value(QStringLiteral("money")).toInt();
        else if (const auto r = bulk_->subscriber(id))
            balance = r->balance;
        bulk_->queueRecord(ukazatel, id, tasks::Words{}, balance);
        return;
    }
    const int count = return_max_id_user_in_mesta();
    const TaskSource s = taskSource(ds_.abons, id);
    tasks::queueAllChannelsOff(ukazatel, id, count, s.balance);
}

void SubscriberRegister::del_zap(int id) {
    if (bulk_) bulk_->flush();  // a delete is not planned: it works on the slot map as stored
    const int count = slotmap::occupiedCount(id);
    if (count == 0) return;
    if (count > 1) showMessage(kManySlotsMessage);
    ukazatel = slotmap::occupiedSlot(id);
    slotmap::release(ukazatel);
    tasks::queueDelete(ukazatel, id, return_max_id_user_in_mesta());
}

// ---- Batch and Bulk -------------------------------------------------------------------------------------------

SubscriberRegister::Batch::Batch(SubscriberRegister& r) : r_(r) { ++r_.batchDepth_; }

SubscriberRegister::Batch::~Batch() {
    if (--r_.batchDepth_ > 0 || !r_.refreshDue_) return;
    try {
        r_.refresh_register();
    } catch (const DatabaseError& e) {
        showMessage(e.text());
    }
}

SubscriberRegister::Bulk::Bulk(SubscriberRegister& r, int linesPerFlush)
    : r_(r),
      viewsPaused_(r.ds_.abons),
      batch_(r),
      writes_(std::make_unique<BulkWrites>(r.ds_)),
      linesPerFlush_(std::max(1, linesPerFlush)) {
    if (r_.bulk_) throw std::logic_error("an import is already running on the register");
    r_.bulk_ = writes_.get();
}

SubscriberRegister::Bulk::~Bulk() {
    r_.bulk_ = nullptr;
    writes_->discard();
    // Rows of the register that no flush sent belong to the plan just dropped.
    ClientDataSet& a = r_.ds_.abons;
    try {
        if (a.isOpen() && a.isEditing()) a.cancel();
        a.cancelPendingUpdates();
    } catch (const DatabaseError& e) {
        showMessage(e.text());
    }
}

void SubscriberRegister::Bulk::lineDone() {
    if (++lines_ >= linesPerFlush_) flush();
}

void SubscriberRegister::Bulk::flush() {
    writes_->flush();
    lines_ = 0;
}

}  // namespace kavrin
