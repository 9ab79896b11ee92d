#pragma once
// Rows of one query held in memory, edited in place and sent back to the database on request.
//
// The screens work row by row on a current record (record number, edit buffer, post, cancel) and hook the
// dataset's events; the changes wait in a change log until applyUpdates() writes them in one transaction.
// Rows are kept in typed columns (one vector per field) rather than one QVariant per cell, so that the whole
// subscriber register fits in memory comfortably. Errors throw kavrin::DatabaseError.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

namespace kavrin {

class ClientDataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Event = std::function<void(ClientDataSet&)>;
    using Calculation = std::function<QVariant(const ClientDataSet&, int row)>;

    explicit ClientDataSet(const QString& commandText = {}, QObject* parent = nullptr);
    ~ClientDataSet() override;

    void setCommandText(const QString& sql);
    QString commandText() const;
    void setParams(const QVariantList& binds);  // bound to "?" placeholders of the command text
    QVariantList params() const;
    void setTableName(const QString& t);  // the table applyUpdates writes; by default taken from "select ... from <t>"
    QString tableName() const;
    void setKeyFields(const QStringList& k);  // by default the table's primary key; none = match all original values
    QStringList keyFields() const;            // the key in use (empty: rows are matched on all original values)

    void open();
    void close();  // drops the rows and any change not yet applied
    bool isOpen() const;
    void refresh();  // re-reads, keeps the current record on the same key when it still exists
    void openOrRefresh() { isOpen() ? refresh() : open(); }
    void refreshIfOpen() { if (isOpen()) refresh(); }
    bool isEditing() const { return state() == State::Edit || state() == State::Insert; }
    // Posts a pending edit or new record; does nothing while browsing.
    void postIfEditing() { if (isEditing()) post(); }

    int fieldCount() const;  // data fields first, then calculated fields
    QString fieldName(int i) const;
    int fieldIndex(const QString& name) const;  // -1 if none; names compare without regard to case
    QMetaType fieldType(int i) const;
    bool isCalculated(int i) const;

    int recordCount() const;
    int recNo() const;  // 1-based current record, 0 when empty
    void setRecNo(int n);
    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;

    QVariant value(const QString& field) const;  // current record (the edit buffer while editing)
    QVariant value(int row, int column) const;   // any row, 0-based (for models and bulk readers)
    void setValue(const QString& field, const QVariant& v);  // starts Edit from Browse on its own
    void setValue(int column, const QVariant& v);
    bool isModified() const;  // the edit buffer holds a change not yet posted

    State state() const;
    void edit();
    void append();
    void insert();
    void post();
    void cancel();
    void deleteRecord();
    bool locate(const QString& field, const QVariant& v);  // moves to the first matching row
    int findRow(const QString& field, const QVariant& v) const;  // 0-based first matching row, -1 if none; no move

    int changeCount() const;  // pending changes not yet applied
    // Parameterised INSERT/UPDATE/DELETE naming the row by its key, in one transaction. New rows whose empty
    // columns took the table's defaults are read back, unless `readBackDefaults` is false (the caller re-reads
    // the whole dataset soon anyway).
    void applyUpdates(bool readBackDefaults = true);
    void cancelUpdates();
    // The same, when the dataset is open and holds changes; nothing otherwise.
    void applyPendingUpdates(bool readBackDefaults = true) {
        if (isOpen() && changeCount() > 0) applyUpdates(readBackDefaults);
    }
    void cancelPendingUpdates() {
        if (isOpen() && changeCount() > 0) cancelUpdates();
    }

    // Views stop following the rows change by change until the last resumeViews(), which has them re-read
    // everything once: for thousands of changes in a row (an import), where a notice per field of every row
    // would cost more than the changes. The screens' events above still fire.
    void pauseViews();
    void resumeViews();
    class ViewsPaused {
    public:
        explicit ViewsPaused(ClientDataSet& ds) : ds_(ds) { ds_.pauseViews(); }
        ~ViewsPaused() { ds_.resumeViews(); }
        ViewsPaused(const ViewsPaused&) = delete;
        ViewsPaused& operator=(const ViewsPaused&) = delete;

    private:
        ClientDataSet& ds_;
    };

    // Calculated fields: computed from the row, shown like other fields, never written.
    void addCalculatedField(const QString& name, Calculation f);

    // Events the screens hook. A before-event may throw to abort the action.
    Event beforeInsert, afterInsert, afterEdit, beforePost, afterPost, afterCancel, beforeDelete, afterDelete,
        afterOpen, afterScroll;

Q_SIGNALS:
    // For views and models: what changed in the rows (not the screens' events above).
    void reset();                   // opened, closed, refreshed or reordered: re-read everything
    void rowsInserted(int row, int count);
    void rowsRemoved(int row, int count);
    void rowChanged(int row);       // values of one row changed (edit buffer or post)
    void currentChanged(int row);   // the current record moved (0-based, -1 when none)
    void stateChanged();

private:
    void startInsert(bool atEnd);

    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace kavrin
