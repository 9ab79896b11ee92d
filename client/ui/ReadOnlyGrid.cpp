#include "ui/ReadOnlyGrid.h"

#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"

#include <QHeaderView>

namespace kavrin {

QTableView* createReadOnlyGrid(QWidget* parent, DataSetModel* model, FilterProxyModel* view) {
    view->setSourceModel(model);
    auto* grid = new QTableView(parent);
    grid->setObjectName(QStringLiteral("cxGrid1"));
    grid->setModel(view);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSortingEnabled(true);
    grid->sortByColumn(-1, Qt::AscendingOrder);
    grid->verticalHeader()->hide();
    for (int c = 0; c < model->columnCount(); ++c) grid->setColumnWidth(c, model->columns()[c].width);
    return grid;
}

}  // namespace kavrin
