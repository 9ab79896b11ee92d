#pragma once
// What a grid shows, for the exports: its rows in display order after its filter, read from the dataset
// behind it, and the texts of its lookup columns.
#include "io/ExportLayouts.h"

class QAbstractItemModel;

namespace kavrin {

class ClientDataSet;

// `shown` is the model the grid views: a DataSetModel over `ds`, or proxies (sorting, filter) over one.
GridRows gridRowsOf(const QAbstractItemModel& shown, const ClientDataSet& ds);

// key -> text over all rows of a dataset (street names by Id, operation names by Id_operacii).
LookupTexts lookupTextsOf(const ClientDataSet& ds, const QString& keyField, const QString& textField);

}  // namespace kavrin
