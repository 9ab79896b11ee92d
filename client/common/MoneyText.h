#pragma once
// The display form of an amount of kopecks shown in the balance and amount columns.
#include <QString>
#include <QVariant>

namespace kavrin {

// The amount in currency units, in the shortest form with the locale's decimal separator and no thousands
// separators: 1250 -> "12,5", 100 -> "1", -75 -> "-0,75". An empty (null or blank) value counts as 0.
QString money_text(const QVariant& kopecks);
QString money_text(qint64 kopecks);

}  // namespace kavrin
