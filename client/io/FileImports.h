#pragma once
// The three file imports of the main window: new subscribers, changed subscribers and payments. Each line
// goes through the register's own handlers (slot, task, apply step) or the money operation, exactly as if the
// operator had entered it, and is in the database before the next line is read. Imports keep the register
// loaded: the register is re-read once at the end, not after every line.
#include <QHash>
#include <QString>

namespace kavrin {

class SubscriberRegister;
class MoneyOperation;
struct SubscriberLine;

class FileImports {
public:
    FileImports(SubscriberRegister& reg, MoneyOperation& money) : reg_(reg), money_(money) {}

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

private:
    void importNewFrom(const QStringList& lines);
    void importChangedFrom(const QStringList& lines);
    void importPaymentsFrom(const QStringList& lines);
    bool bookPayment(const QString& line);
    void fillNewRow(const SubscriberLine& s);
    void setFields(const SubscriberLine& s);
    void refreshStreetLists();
    void reopenRegisterAtFirstRow();
    std::optional<QStringList> chooseFile(const QString& title);

    SubscriberRegister& reg_;
    MoneyOperation& money_;
    QHash<QString, int> streetIds_;  // streets looked up during this import
    bool streetAdded_ = false;
};

}  // namespace kavrin
