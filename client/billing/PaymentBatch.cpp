#include "billing/PaymentBatch.h"

#include "billing/BillingSql.h"
#include "data/BoundWrite.h"
#include "data/Sql.h"

#include <limits>

namespace kavrin {

namespace {

constexpr int kIdsPerStatement = 1000;

struct Payer {
    qint64 money = 0;
    bool on = false;
    bool packagePriority = false;
    qint64 packageId = 0;
    std::array<quint16, 64> words{};
};

// The lines' subscribers, locked until the commit.
QHash<qint32, Payer> lockPayers(const QList<qint32>& ids) {
    QHash<qint32, Payer> payers;
    for (qsizetype from = 0; from < ids.size(); from += kIdsPerStatement) {
        const QList<qint32> part = ids.mid(from, kIdsPerStatement);
        QVariantList binds;
        for (qint32 id : part) binds << id;
        QSqlQuery q = execSql(billing_sql::selectPayersForUpdate(int(part.size())), binds);
        while (q.next()) {
            Payer p;
            p.money = q.value(1).toLongLong();
            p.on = q.value(2).toInt() == 1;
            p.packagePriority = q.value(3).toInt() == 1;
            p.packageId = q.value(4).toLongLong();
            for (int i = 0; i < 64; ++i) p.words[size_t(i)] = quint16(q.value(5 + i).toUInt());
            payers.insert(q.value(0).toInt(), p);
        }
    }
    return payers;
}

// Sends rows of `width` binds each, as many per statement as `statement(n)` takes.
template <typename Statement>
void sendRows(const QVariantList& binds, int width, Statement statement) {
    const int rows = int(binds.size()) / width;
    for (int from = 0; from < rows; from += kIdsPerStatement) {
        const int n = std::min(kIdsPerStatement, rows - from);
        execWrite(statement(n), binds.mid(qsizetype(from) * width, qsizetype(n) * width));
    }
}

}  // namespace

void PaymentBatch::loadBalances() {
    if (loaded_) return;
    QSqlQuery q = execSql(billing_sql::selectAllBalances);
    while (q.next()) balances_.insert(q.value(0).toInt(), Balance{q.value(1).toLongLong(), q.value(2).toInt() == 1});
    loaded_ = true;
}

bool PaymentBatch::subscriberExists(qint32 id) {
    loadBalances();
    return balances_.contains(id);
}

bool PaymentBatch::add(const MoneyRequest& request) {
    MoneyResult::Status status;
    const auto checked = checkMoneyRequest(request, status);
    if (!checked) return false;
    loadBalances();
    const auto it = balances_.find(request.subscriberId);
    if (it == balances_.end()) {
        reportMissingSubscriber(request.subscriberId);
        return false;
    }
    const auto after = balanceAfterOperation(it->money, checked->amount);
    if (!after) return false;
    *it = Balance{*after, *after > 0};
    lines_.push_back(Line{request.subscriberId, checked->amount, checked->stamp});
    return true;
}

void PaymentBatch::flush() {
    if (lines_.empty()) return;
    QList<qint32> ids;
    QSet<qint32> seen;
    for (const Line& l : lines_)
        if (!seen.contains(l.subscriberId)) {
            seen.insert(l.subscriberId);
            ids << l.subscriberId;
        }

    Transaction transaction;
    QHash<qint32, Payer> payers = lockPayers(ids);
    QVariantList journal;
    journal.reserve(qsizetype(lines_.size()) * 4);
    for (const Line& l : lines_) {
        const auto it = payers.find(l.subscriberId);
        if (it == payers.end())
            throw DatabaseError(
                QStringLiteral("Абонент %1 удалён во время загрузки платежей. Операция прервана.").arg(l.subscriberId));
        const qint64 after = it->money + l.amount;
        if (after < std::numeric_limits<qint32>::min() || after > std::numeric_limits<qint32>::max())
            throw DatabaseError(QStringLiteral("Баланс абонента %1 изменился во время загрузки платежей и вышел бы за "
                                               "допустимые пределы. Операция прервана.")
                                    .arg(l.subscriberId));
        const bool wasOn = it->on;
        it->money = after;
        it->on = after > 0;
        journal << l.subscriberId << l.amount << after
                << (l.stamp.isValid() ? QVariant(l.stamp) : QVariant(QMetaType::fromType<QDateTime>()));
        if (booked)
            booked(Booked{l.subscriberId, wasOn, it->on, qint32(after), it->packagePriority, it->packageId, it->words});
    }
    QVariantList balances;
    for (qint32 id : ids) {
        const Payer& p = payers[id];
        balances << id << p.money << (p.on ? 1 : 0);
    }
    sendRows(balances, 3, billing_sql::updateBalances);
    sendRows(journal, 4, billing_sql::insertPayments);
    transaction.commit();

    for (qint32 id : ids) balances_.insert(id, Balance{payers[id].money, payers[id].on});
    lines_.clear();
}

}  // namespace kavrin
