#include "billing/MoneyOperation.h"

#include "billing/BillingSql.h"
#include "common/Dialogs.h"
#include "data/Sql.h"

#include <QDateTime>
#include <QLocale>
#include <limits>

namespace kavrin {
namespace {

constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

// The value of a digits box: 0 when empty, nullopt when it is not a 32-bit integer.
std::optional<qint64> boxValue(const QString& text) {
    if (text.isEmpty()) return 0;
    bool ok = false;
    const qint32 v = text.toInt(&ok);
    if (!ok) return std::nullopt;
    return v;
}

MoneyResult refuse(MoneyResult::Status status, const QString& text) {
    showMessage(text);
    return MoneyResult{status};
}

}  // namespace

MoneyResult MoneyOperation::perform(const MoneyRequest& request) {
    if (request.units.isEmpty() && request.kopecks.isEmpty()) return {};

    const auto units = boxValue(request.units);
    const auto kopecks = boxValue(request.kopecks);
    if (!units || !kopecks)
        return refuse(MoneyResult::BadNumber, QStringLiteral("Ошибка введения значений. Вводиться должны целые числа"));
    if (*kopecks > 99) return refuse(MoneyResult::BadKopecks, QStringLiteral("Копеек не может быть больше 99!"));
    if (*kopecks < 0) return refuse(MoneyResult::BadKopecks, QStringLiteral("Копеек не может быть меньше нуля!"));

    const qint64 magnitude = *units * 100 + *kopecks;
    const qint64 amount = request.credit ? magnitude : -magnitude;
    if (amount < kMin32 || amount > kMax32)
        return refuse(MoneyResult::Refused, QStringLiteral("Ошибка! Сумма операции слишком велика. Операция не выполнена."));

    QDateTime importStamp;
    if (!request.importDate.isEmpty()) {
        const QDate date = QLocale().toDate(request.importDate, QLocale::ShortFormat);
        if (!date.isValid())
            return refuse(MoneyResult::Refused,
                          QStringLiteral("Ошибка! Неверная дата операции: %1. Операция не выполнена.").arg(request.importDate));
        importStamp = QDateTime(date, QTime(0, 0));
    }

    // The balance is read again under a row lock: a charge or another operator's payment made since the
    // register was loaded must not be overwritten.
    Transaction transaction;
    QSqlQuery stored = execSql(billing_sql::selectBalanceForUpdate, {request.subscriberId});
    if (!stored.next()) {
        transaction.commit();  // nothing written; an enclosing transaction (an import) must not be doomed
        return refuse(MoneyResult::Refused,
                      QStringLiteral("Ошибка! Абонент %1 не найден. Операция не выполнена.").arg(request.subscriberId));
    }
    const qint64 before = stored.value(0).toLongLong();  // an empty balance counts as 0
    const bool wasOn = stored.value(1).toInt() == 1;
    const qint64 after = before + amount;
    if (after < kMin32 || after > kMax32) {
        transaction.commit();
        return refuse(MoneyResult::Refused, QStringLiteral("Ошибка! Баланс абонента вышел бы за допустимые пределы. "
                                                           "Операция не выполнена."));
    }
    const bool isOn = after > 0;
    execSql(billing_sql::updateBalanceAndLock, {after, isOn ? 1 : 0, request.subscriberId});
    if (balanceChanged) balanceChanged(request.subscriberId, wasOn, isOn);
    if (importStamp.isValid())
        execSql(billing_sql::insertDatedPayment, {request.subscriberId, amount, after, importStamp});
    else
        execSql(billing_sql::insertPayment, {request.subscriberId, amount, after});
    transaction.commit();
    return MoneyResult{MoneyResult::Done, static_cast<qint32>(amount), static_cast<qint32>(after), isOn};
}

}  // namespace kavrin
