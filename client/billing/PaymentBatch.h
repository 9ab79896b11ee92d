#pragma once
// The payments of an import, booked together. Each line is checked when it is added, as the money operation
// checks it, against the balances as last read, so that its message comes at its own line. flush() reads the
// lines' subscribers again under lock, works out each line's balance, switch and journal row in line order
// from what it finds, reports each booked line (for the device task it needs) and writes the balances and the
// journal rows in a few statements, inside one transaction (the caller's when one is open).
#include "billing/MoneyOperation.h"

#include <QHash>
#include <QSet>
#include <array>
#include <vector>

namespace kavrin {

class PaymentBatch {
public:
    struct Booked {
        qint32 subscriberId = 0;
        bool wasOn = false;
        bool isOn = false;
        qint32 balance = 0;  // after the payment
        bool packagePriority = false;
        qint64 packageId = 0;
        std::array<quint16, 64> words{};
    };
    // Called by flush() for every line in order, after its balance changed, inside the transaction.
    std::function<void(const Booked&)> booked;

    bool subscriberExists(qint32 id);
    // Checks the request (showing the message of a refusal) and keeps it for the next flush; false when refused.
    bool add(const MoneyRequest& request);
    int pending() const { return int(lines_.size()); }
    // Throws DatabaseError when a subscriber disappeared or a balance would now leave its range; nothing of
    // this flush is written then.
    void flush();

private:
    struct Line {
        qint32 subscriberId;
        qint64 amount;
        QDateTime stamp;
    };
    struct Balance {
        qint64 money = 0;
        bool on = false;
    };
    void loadBalances();

    bool loaded_ = false;
    QHash<qint32, Balance> balances_;  // as last read, with the lines added since
    std::vector<Line> lines_;
};

}  // namespace kavrin
