#pragma once
// The subscriber register without its window: the handlers of the register dataset (new row, edit, post,
// cancel, delete), the apply step, the renumbering, and the slot and task operations every change that the
// head-end must know goes through. The main window, the channel editor, the imports and the charging run all
// call this one object, so each event queues exactly the tasks it should, in the order the server expects.
#include "data/ClientDataSet.h"

#include <QString>
#include <functional>
#include <memory>

namespace kavrin {

class BulkWrites;
struct Datasets;
struct SubscriberRecord;

// What the reload reports while it runs (the main window's Label1 and Gauge1).
struct ReloadProgress {
    std::function<void(int total)> started;     // not called for an empty register
    std::function<void(int handled)> advanced;  // subscribers handled so far, in steps
    std::function<void()> finished;
};

class SubscriberRegister {
public:
    // Hooks the handlers to the events of `datasets.abons`; unhooks them when destroyed.
    explicit SubscriberRegister(Datasets& datasets);
    ~SubscriberRegister();
    SubscriberRegister(const SubscriberRegister&) = delete;
    SubscriberRegister& operator=(const SubscriberRegister&) = delete;

    // The register of the program, over Datasets::shared().
    static SubscriberRegister& shared();

    Datasets& datasets() const { return ds_; }
    ClientDataSet& abons() const;

    // Client-wide state of the register (names kept from the main window's unit).
    int abon_saving = 0;     // while 1 the after-edit and after-post handlers do nothing
    int import_mode = 0;     // 1 while an import inserts a row: no prompt, no manual defaults
    int edit_mode = 0;       // 0 nothing pending, 1 new row prepared, 2 existing row in editing
    int edit_id = 0;         // Id of the row being edited or deleted
    int lock_before = 0;     // 1 when lock was 1 as the row went into editing
    int delete_pending = 0;
    int delete_in_edit = 0;
    QString new_id_text;     // the number typed for a new subscriber, or read by an import
    int new_id = 0;          // the Id accepted for the next new row; -1 when refused
    int id_free = 0;
    int ukazatel = 0;        // slot found or allocated by the last slot operation, 0 = none

    // Register dataset handlers, hooked by the constructor.
    void ClientDataSet1BeforeInsert();
    void ClientDataSet1AfterInsert();
    void ClientDataSet1AfterEdit();
    void ClientDataSet1AfterPost();
    void ClientDataSet1AfterCancel();
    void ClientDataSet1BeforeDelete();
    void ClientDataSet1AfterDelete();

    // The apply step: sends the pending changes of the register, slot and journal datasets, then re-reads the
    // register (deferred to the end of an open Batch).
    void Button2Click();
    // Renumbers the current subscriber, asking for the new number.
    void Button3Click();
    // Moves the register to the subscriber with this Id.
    void select_new_record(int id);
    // The reload: rebuilds the slot map and the task queue from the whole register.
    void N6Click(const ReloadProgress& progress = {});

    // Slot and task operations. Each sets ukazatel as well as returning it where it finds a slot.
    int get_ukazatel(int id);                  // the subscriber's occupied slot, or 0 (after a message)
    int return_max_id_user_in_mesta();         // highest slot number, 0 for an empty map
    int zanyat_svobodnoe_mesto();              // occupies a slot for the current subscriber
    void add_zadanie(int slot, int id);        // full record of the current subscriber; id 0 = its own Id
    void rewrite_zap(int id);                  // full record into the subscriber's slot, if it holds one
    void clear_kanals_for_abon(int id);        // all-channels-off record carrying the balance
    void del_zap(int id);                      // frees the slot and queues a delete record

    // Called by the new-row handler to show the grid sorted by Id (the main window sets it).
    std::function<void()> sortGridById;

    // Sets abon_saving for its lifetime: a change to the current row whose device work the caller does itself.
    class Saving {
    public:
        explicit Saving(SubscriberRegister& r) : r_(r) { r_.abon_saving = 1; }
        ~Saving() { r_.abon_saving = 0; }
        Saving(const Saving&) = delete;
        Saving& operator=(const Saving&) = delete;

    private:
        SubscriberRegister& r_;
    };

    // Many rows in a row (imports): while a Batch is open the apply step sends changes but re-reads the
    // register only once, when the outermost Batch closes.
    class Batch {
    public:
        explicit Batch(SubscriberRegister& r);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SubscriberRegister& r_;
    };

    // An import: while it is open the register's handlers plan their slot and task work in memory and the
    // apply step sends nothing; flush() sends it all (see BulkWrites), lineDone() every `linesPerFlush` lines.
    // Also a Batch. What was not flushed when it closes is dropped, the register's unsent rows with it.
    class Bulk {
    public:
        explicit Bulk(SubscriberRegister& r, int linesPerFlush = 2000);
        ~Bulk();
        Bulk(const Bulk&) = delete;
        Bulk& operator=(const Bulk&) = delete;

        BulkWrites& writes() { return *writes_; }
        void lineDone();
        void flush();

    private:
        SubscriberRegister& r_;
        ClientDataSet::ViewsPaused viewsPaused_;  // views catch up once, after the closing re-read
        Batch batch_;
        std::unique_ptr<BulkWrites> writes_;
        int linesPerFlush_;
        int lines_ = 0;
    };

private:
    bool is_id_text_valid(const QString& text, int* id) const;
    void refresh_register();
    SubscriberRecord currentRecord() const;
    void queuePlannedRecord(int slot, int recordId, const SubscriberRecord& r);

    Datasets& ds_;
    int batchDepth_ = 0;
    bool refreshDue_ = false;
    BulkWrites* bulk_ = nullptr;
};

}  // namespace kavrin
