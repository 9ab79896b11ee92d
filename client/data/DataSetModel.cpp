#include "data/DataSetModel.h"

#include "common/Dialogs.h"
#include "data/Sql.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSize>

namespace kavrin {

namespace {
// Errors raised while the view changes data (a refused value, a failed post) reach the user as a message;
// they must not unwind through Qt's event handling.
template <typename F>
bool reporting(F f) {
    try {
        f();
        return true;
    } catch (const DatabaseError& e) {
        showMessage(e.text());
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()));
    }
    return false;
}
}  // namespace

DataSetModel::DataSetModel(ClientDataSet& ds, QVector<DataSetColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), ds_(&ds), columns_(std::move(columns)) {
    rows_ = ds.recordCount();
    mapFields();
    connect(ds_, &ClientDataSet::reset, this, [this] {
        beginResetModel();
        rows_ = ds_->recordCount();
        mapFields();
        endResetModel();
    });
    connect(ds_, &ClientDataSet::rowsInserted, this, [this](int row, int count) {
        beginInsertRows({}, row, row + count - 1);
        rows_ += count;
        endInsertRows();
    });
    connect(ds_, &ClientDataSet::rowsRemoved, this, [this](int row, int count) {
        beginRemoveRows({}, row, row + count - 1);
        rows_ -= count;
        endRemoveRows();
    });
    connect(ds_, &ClientDataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rows_ && !columns_.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
    });
    connect(ds_, &ClientDataSet::currentChanged, this, &DataSetModel::currentRowChanged);
}

void DataSetModel::setColumns(QVector<DataSetColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    mapFields();
    endResetModel();
}

void DataSetModel::mapFields() {
    fieldOf_.clear();
    for (const DataSetColumn& c : columns_) fieldOf_ << ds_->fieldIndex(c.field);
}

int DataSetModel::columnOf(const QString& field) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int DataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DataSetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant DataSetModel::display(int row, const DataSetColumn& c, const QVariant& v) const {
    switch (c.kind) {
    case EditorKind::CheckBox: return {};
    case EditorKind::Lookup: {
        if (!c.lookupDataSet || v.isNull() || !c.lookupDataSet->isOpen()) return {};
        const int r = c.lookupDataSet->findRow(c.lookupKeyField, v);
        return r < 0 ? QVariant() : c.lookupDataSet->value(r, c.lookupDataSet->fieldIndex(c.lookupResultField));
    }
    default: break;
    }
    Q_UNUSED(row);
    switch (v.metaType().id()) {
    case QMetaType::QDate: return QLocale().toString(v.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime: return QLocale().toString(v.toDateTime(), QLocale::ShortFormat);
    case QMetaType::Double: return QLocale().toString(v.toDouble(), 'g', 15);
    default: return v;
    }
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columns_.size()) return {};
    const DataSetColumn& c = columns_[index.column()];
    const int field = fieldOf_[index.column()];
    switch (role) {
    case Qt::DisplayRole: return field < 0 ? QVariant() : display(index.row(), c, ds_->value(index.row(), field));
    case Qt::EditRole:
    case ValueRole: return field < 0 ? QVariant() : ds_->value(index.row(), field);
    case Qt::CheckStateRole:
        if (c.kind != EditorKind::CheckBox || field < 0) return {};
        return ds_->value(index.row(), field).toInt() == 1 ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole: return QVariant::fromValue(c.alignment);
    case Qt::BackgroundRole: return c.background.isValid() ? QVariant(c.background) : QVariant();
    default: return {};
    }
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rows_ || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const DataSetColumn& c = columns_[index.column()];
    QVariant v = value;
    if (role == Qt::CheckStateRole) {
        if (c.kind != EditorKind::CheckBox) return false;
        v = value.value<Qt::CheckState>() == Qt::Checked || value.toInt() == Qt::Checked ? 1 : 0;
    } else if (role != Qt::EditRole) {
        return false;
    }
    return reporting([&] {
        if (ds_->recNo() != index.row() + 1) ds_->setRecNo(index.row() + 1);
        ds_->setValue(c.field, v);
    });
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.column() >= columns_.size()) return Qt::NoItemFlags;
    const DataSetColumn& c = columns_[index.column()];
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int field = fieldOf_[index.column()];
    if (c.readOnly || c.kind == EditorKind::Calculated || field < 0 || ds_->isCalculated(field)) return f;
    if (c.kind == EditorKind::CheckBox) return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const DataSetColumn& c = columns_[section];
    switch (role) {
    case Qt::DisplayRole: return c.caption;
    case Qt::SizeHintRole: return QSize(c.width, 20);
    default: return {};
    }
}

void DataSetModel::setCurrentRow(int row) {
    if (row < 0 || row >= rows_ || ds_->recNo() == row + 1) return;
    reporting([&] { ds_->setRecNo(row + 1); });
}

}  // namespace kavrin
