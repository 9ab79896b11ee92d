#pragma once
// The three file imports of the main window: new subscribers, changed subscribers and payments. Each line
// goes through the register's own handlers (slot, task, apply step) or the money operation's checks, with the
// checks and messages it would have had if the operator had entered it. The writes of many lines go out
// together (SubscriberRegister::Bulk, PaymentBatch), every `linesPerFlush` lines and when the import ends or
// stops, so an import costs a few round trips per thousand lines. The register is re-read once at the end.
#include "register/SubscriberRegister.h"

#include <QHash>
#include <QString>

namespace kavrin {

class PaymentBatch;
struct SubscriberLine;

class FileImports {
public:
    explicit FileImports(SubscriberRegister& reg) : reg_(reg) {}

    // Each asks for the file with the open-file dialog, then imports it.
    void importNewSubscribers();      // N14Click
    void importChangedSubscribers();  // N16Click
    void importPayments();            // N15Click

    // The street with exactly this name, added when missing; 0 for an empty name.
    int return_id_street(const QString& name);
    // Moves the register to the subscriber with this Id; false (register left where it was) when none.
    bool find_abon_by_id(int id);
    // Applies a modify line to the register's current row and posts it; false (row unchanged) when a field
    // fails its conversion.
    bool modify_abon_from_line(const QString& line);

    // How many lines go to the database together (tests make it small to cross the boundaries).
    void setLinesPerFlush(int n) { linesPerFlush_ = n; }

private:
    void importNewFrom(const QStringList& lines, SubscriberRegister::Bulk& bulk);
    void importChangedFrom(const QStringList& lines, SubscriberRegister::Bulk& bulk);
    void importPaymentsFrom(const QStringList& lines);
    bool bookPayment(const QString& line, PaymentBatch& payments);
    void fillNewRow(const SubscriberLine& s);
    void setFields(const SubscriberLine& s);
    void refreshStreetLists();
    void reopenRegisterAtFirstRow();
    std::optional<QStringList> chooseFile(const QString& title);

    SubscriberRegister& reg_;
    QHash<QString, int> streetIds_;  // streets looked up during this import
    bool streetAdded_ = false;
    QHash<int, int> rowById_;  // register row of each Id, built once per import of changes
    int linesPerFlush_ = 2000;
};

}  // namespace kavrin
