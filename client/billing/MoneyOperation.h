#pragma once
// A payment or a manual debit on one subscriber's balance, as the money dialog and the payments import
// make it: the balance, the on/off state that follows from it and the journal row, in one transaction.
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace kavrin {

struct MoneyRequest {
    qint32 subscriberId = 0;
    QString units;         // whole currency units, digits; may be empty
    QString kopecks;       // kopecks, digits ("5" is five kopecks); may be empty
    bool credit = true;    // money in; otherwise money out
    QString importDate;    // a date in the short date format: the journal row carries it (payments import)
};

struct MoneyResult {
    enum Status {
        Nothing,        // both amounts empty: nothing to do
        Done,
        BadNumber,      // a message was shown, nothing written
        BadKopecks,     // a message was shown, nothing written; the kopeck box takes the focus
        Refused,        // a message was shown, nothing written
    } status = Nothing;
    qint32 amount = 0;
    qint32 balance = 0;
    bool switchedOn = false;
};

// A request that passed the checks made before any balance is read.
struct CheckedMoney {
    qint64 amount = 0;   // kopecks, negative for money out
    QDateTime stamp;     // the journal row's moment; invalid: the moment of booking
};

// Those checks: the amounts and the date. A refusal shows its message and gives its status (Nothing, without a
// message, when both amounts are empty).
std::optional<CheckedMoney> checkMoneyRequest(const MoneyRequest& request, MoneyResult::Status& status);
// Shows that the subscriber of an operation is not in the register.
void reportMissingSubscriber(qint32 id);
// The balance after the operation; nullopt, with its message shown, when it would leave the 32-bit range.
std::optional<qint64> balanceAfterOperation(qint64 before, qint64 amount);

class MoneyOperation {
public:
    // Called inside the operation's transaction after the balance changed, with the state before and
    // after, so that the register can queue the device task the change needs. Must not open a transaction.
    std::function<void(qint32 id, bool wasOn, bool isOn)> balanceChanged;

    // Shows the checks' messages itself. Database errors are thrown (DatabaseError) with nothing written.
    MoneyResult perform(const MoneyRequest& request);
};

}  // namespace kavrin
