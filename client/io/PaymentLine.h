#pragma once
// One line of the payments file: subscriber number; amount in currency units (a leading "-" takes money
// off); date of the payment.
#include <QDate>
#include <QString>
#include <optional>

namespace kavrin {

struct PaymentLine {
    QString idText;   // the first field as written
    bool credit = true;
    QString units;    // whole units, digits
    QString kopecks;  // two digits, or empty when the amount has no decimals
    QDate date;

    // nullopt when the amount or the date does not convert. The amount is a decimal number in the system's
    // format with at most two decimals; one decimal counts as tens of kopecks (12,5 is 12 units 50 kopecks).
    static std::optional<PaymentLine> parse(const QString& line);
};

}  // namespace kavrin
