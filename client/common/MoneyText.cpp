#include "common/MoneyText.h"

#include <QLocale>

namespace kavrin {

QString money_text(qint64 kopecks) {
    const QLocale locale;
    const bool negative = kopecks < 0;
    const quint64 magnitude = negative ? quint64(-(kopecks + 1)) + 1 : quint64(kopecks);
    QString text = QString::number(magnitude / 100);
    int cents = int(magnitude % 100);
    if (cents != 0) {
        QString fraction = QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
        if (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
        text += locale.decimalPoint() + fraction;
    }
    return negative ? locale.negativeSign() + text : text;
}

QString money_text(const QVariant& kopecks) {
    if (kopecks.isNull()) return money_text(qint64(0));
    bool ok = false;
    const qint64 value = kopecks.toLongLong(&ok);
    if (ok) return money_text(value);
    // Text that is not a whole number of kopecks: only a blank one has a meaning (0).
    if (kopecks.toString().trimmed().isEmpty()) return money_text(qint64(0));
    return money_text(qint64(kopecks.toDouble()));
}

}  // namespace kavrin
