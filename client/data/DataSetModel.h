#pragma once
// A table model over a ClientDataSet for the grids: chosen columns with captions, width hints and editor
// kinds; the dataset's current record follows the view's current row (setCurrentRow) and vice versa
// (currentRowChanged). Edits go through the dataset, so its events run as for any other change.
#include "data/ClientDataSet.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QVector>

namespace kavrin {

enum class EditorKind { Text, CheckBox, Date, Lookup, Calculated };

struct DataSetColumn {
    DataSetColumn() = default;
    DataSetColumn(QString field, QString caption, int width = 64, EditorKind kind = EditorKind::Text,
                  bool readOnly = false)
        : field(std::move(field)), caption(std::move(caption)), width(width), kind(kind), readOnly(readOnly) {}
    // A lookup column: shows `resultField` of the row of `source` whose `keyField` equals the value.
    static DataSetColumn lookup(QString field, QString caption, int width, ClientDataSet& source, QString keyField,
                                QString resultField) {
        DataSetColumn c(std::move(field), std::move(caption), width, EditorKind::Lookup);
        c.lookupDataSet = &source;
        c.lookupKeyField = std::move(keyField);
        c.lookupResultField = std::move(resultField);
        return c;
    }

    QString field;
    QString caption;
    int width = 64;  // hint in pixels
    EditorKind kind = EditorKind::Text;
    bool readOnly = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor background;  // invalid: the view's default
    // Lookup: shows lookupResultField of the row of lookupDataSet whose lookupKeyField equals the value.
    ClientDataSet* lookupDataSet = nullptr;
    QString lookupKeyField;
    QString lookupResultField;
};

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Role for the raw stored value (EditRole gives the same for all but lookup columns, whose EditRole is the key).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit DataSetModel(ClientDataSet& ds, QVector<DataSetColumn> columns = {}, QObject* parent = nullptr);

    ClientDataSet& dataSet() const { return *ds_; }
    const QVector<DataSetColumn>& columns() const { return columns_; }
    void setColumns(QVector<DataSetColumn> columns);
    int columnOf(const QString& field) const;  // -1 if not shown

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The view moved to `row` (0-based): the dataset follows, posting a pending edit of another row.
    void setCurrentRow(int row);

Q_SIGNALS:
    void currentRowChanged(int row);  // the dataset's current record moved (0-based, -1 when empty)

private:
    QVariant display(int row, const DataSetColumn& c, const QVariant& v) const;
    void mapFields();

    ClientDataSet* ds_;
    QVector<DataSetColumn> columns_;
    QVector<int> fieldOf_;  // dataset field index per column
    int rows_ = 0;          // the row count the views were last told
};

}  // namespace kavrin
