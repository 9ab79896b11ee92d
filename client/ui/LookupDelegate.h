#pragma once
// A grid column that stores a key and shows a name from another dataset: the cell edits through a drop-down
// list of the other dataset's names and writes back the chosen row's key.
#include <QStyledItemDelegate>

namespace kavrin {

class ClientDataSet;

class LookupDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    LookupDelegate(ClientDataSet& list, QString keyField, QString resultField, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    ClientDataSet& list_;
    QString keyField_;
    QString resultField_;
};

}  // namespace kavrin
