#pragma once
#include <QTableView>

namespace kavrin {

class DataSetModel;
class FilterProxyModel;

// A grid that shows a dataset's rows for reading: whole-row selection, sortable by a header click (unsorted at
// first), no row header, each column as wide as its column description says.
QTableView* createReadOnlyGrid(QWidget* parent, DataSetModel* model, FilterProxyModel* view);

}  // namespace kavrin
