#include "io/GridRows.h"

#include "data/ClientDataSet.h"

#include <QAbstractProxyModel>
#include <memory>
#include <vector>

namespace kavrin {

GridRows gridRowsOf(const QAbstractItemModel& shown, const ClientDataSet& ds) {
    auto rows = std::make_shared<std::vector<int>>();
    rows->reserve(shown.rowCount());
    for (int r = 0; r < shown.rowCount(); ++r) {
        QModelIndex index = shown.index(r, 0);
        while (auto proxy = qobject_cast<const QAbstractProxyModel*>(index.model())) index = proxy->mapToSource(index);
        rows->push_back(index.row());
    }
    const ClientDataSet* data = &ds;
    return {int(rows->size()), [rows, data](int r, const QString& field) {
                const int column = data->fieldIndex(field);
                return column < 0 ? QVariant() : data->value((*rows)[r], column);
            }};
}

LookupTexts lookupTextsOf(const ClientDataSet& ds, const QString& keyField, const QString& textField) {
    LookupTexts texts;
    const int key = ds.fieldIndex(keyField), text = ds.fieldIndex(textField);
    if (!ds.isOpen() || key < 0 || text < 0) return texts;
    for (int r = 0; r < ds.recordCount(); ++r) {
        const QVariant k = ds.value(r, key);
        if (!k.isNull() && !texts.contains(k.toLongLong())) texts.insert(k.toLongLong(), ds.value(r, text).toString());
    }
    return texts;
}

}  // namespace kavrin
