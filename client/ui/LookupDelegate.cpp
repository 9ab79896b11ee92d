#include "ui/LookupDelegate.h"

#include "data/ClientDataSet.h"

#include <QComboBox>

namespace kavrin {

LookupDelegate::LookupDelegate(ClientDataSet& list, QString keyField, QString resultField, QObject* parent)
    : QStyledItemDelegate(parent), list_(list), keyField_(std::move(keyField)), resultField_(std::move(resultField)) {}

QWidget* LookupDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* box = new QComboBox(parent);
    const int key = list_.fieldIndex(keyField_);
    const int name = list_.fieldIndex(resultField_);
    if (key >= 0 && name >= 0) {
        for (int row = 0; row < list_.recordCount(); ++row)
            box->addItem(list_.value(row, name).toString(), list_.value(row, key));
    }
    return box;
}

void LookupDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    const QVariant key = index.data(Qt::EditRole);
    int at = -1;
    for (int i = 0; i < box->count() && !key.isNull(); ++i) {
        if (box->itemData(i) == key || box->itemData(i).toLongLong() == key.toLongLong()) {
            at = i;
            break;
        }
    }
    box->setCurrentIndex(at);
}

void LookupDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    if (box->currentIndex() < 0) return;
    model->setData(index, box->currentData(), Qt::EditRole);
}

}  // namespace kavrin
