#pragma once
// The three spreadsheet layouts of the client: the subscriber list, the money journal and the write-off
// report. Each takes the rows the grid shows, in its display order and after its filter.
#include "io/SheetExport.h"

#include <QDateTime>
#include <QHash>

namespace kavrin {

// The rows a grid shows: how many, and the value of a field (a column of the dataset) in each of them.
struct GridRows {
    int count = 0;
    std::function<QVariant(int row, const QString& field)> value;
};

// A lookup column's texts by key (street names by street number, operation names by operation type).
using LookupTexts = QHash<qint64, QString>;

ExportLayout subscriberListLayout(const GridRows& rows, const LookupTexts& streetNames);
// `caption` is the journal window's caption; the id column is exported when the grid shows it.
ExportLayout journalLayout(const GridRows& rows, const QString& caption, bool withIdColumn,
                           const LookupTexts& operationNames);
ExportLayout lastRunLayout(const GridRows& rows);

// A journal date and time as the journal shows it: the system's short date and the time with seconds.
QString journalDateTimeText(const QDateTime& at);

// The text in a lookup column for the key `v`: empty when there is no such row.
QString lookupText(const LookupTexts& texts, const QVariant& v);

}  // namespace kavrin
