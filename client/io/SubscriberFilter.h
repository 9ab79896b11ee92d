#pragma once
// The filter of the subscriber list: what the boxes of the filter row under the register ask for, as the
// grid's view filter: conditions joined with AND, plus one group joined with OR holding the streets whose
// names contain the street box's text.
#include "data/FilterProxyModel.h"

#include <QDate>
#include <QString>
#include <vector>

namespace kavrin {

enum class LockChoice { All, On, Off };  // "все", "вкл", "выкл"

// The texts of the filter row's boxes, left to right.
struct FilterBoxes {
    QString id, name1, name2, name3, street, dom, drob, kvartira, tel, mob;
    QDate date;  // invalid when the date box is empty
    LockChoice lock = LockChoice::All;
    QString balance;  // currency units in the system's format, e.g. 12,5
    QString comment;
};

// The streets whose names contain `text`, ignoring letter case: (Id, Name_Street) pairs in name order.
// The text is a bound value: a quote in it is just a character, and "%" and "_" match themselves.
std::vector<std::pair<int, QString>> streetsContaining(const QString& text);

// Builds the filter from the boxes; the street box is resolved against the street table. Conditions name
// fields of the register dataset.
FilterGroup buildSubscriberFilter(const FilterBoxes& boxes);

// The active filter as the grid shows it: the display texts joined by "и", an OR group in parentheses
// joined by "или"; empty for a filter without conditions.
QString filterSummary(const FilterGroup& filter);

}  // namespace kavrin
