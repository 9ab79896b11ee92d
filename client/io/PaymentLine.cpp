#include "io/PaymentLine.h"

#include "io/ImportLine.h"
#include "io/ImportText.h"

#include <QLocale>

namespace kavrin {

namespace {

bool digitsOnly(const QString& s) {
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace

std::optional<PaymentLine> PaymentLine::parse(const QString& line) {
    ImportLine fields(line);
    PaymentLine p;
    p.idText = fields.take();
    QString rest = fields.rest();
    if (rest.startsWith(u'-')) {
        p.credit = false;
        rest.remove(0, 1);
    }
    const qsizetype separator = rest.indexOf(u';');
    if (separator < 0) return std::nullopt;  // no date
    const QString amount = rest.left(separator);
    const auto date = parseShortDate(rest.mid(separator + 1));
    if (!date || !isDecimalNumber(amount)) return std::nullopt;
    p.date = *date;
    const QString point = QLocale().decimalPoint();
    const qsizetype at = amount.indexOf(point);
    p.units = at < 0 ? amount : amount.left(at);
    p.kopecks = at < 0 ? QString() : amount.mid(at + point.size());
    // The money operation takes digit strings: no second sign, no more than two decimals.
    if (!digitsOnly(p.units) || !digitsOnly(p.kopecks) || p.kopecks.size() > 2) return std::nullopt;
    if (p.kopecks.size() == 1) p.kopecks += u'0';
    return p;
}

}  // namespace kavrin
