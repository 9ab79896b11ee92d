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

std::optional<CheckedMoney> checkMoneyRequest(const MoneyRequest& request, MoneyResult::Status& status) {
    auto refused = [&status](MoneyResult::Status s, const QString& text) {
        status = refuse(s, text).status;
        return std::nullopt;
    };
    status = MoneyResult::Nothing;
    if (request.units.isEmpty() && request.kopecks.isEmpty()) return std::nullopt;

    const auto units = boxValue(request.units);
    const auto kopecks = boxValue(request.kopecks);
    if (!units || !kopecks)
        return refused(MoneyResult::BadNumber, QStringLiteral("Ошибка введения значений. Вводиться должны целые числа"));
    if (*kopecks > 99) return refused(MoneyResult::BadKopecks, QStringLiteral("Копеек не может быть больше 99!"));
    if (*kopecks < 0) return refused(MoneyResult::BadKopecks, QStringLiteral("Копеек не может быть меньше нуля!"));

    const qint64 magnitude = *units * 100 + *kopecks;
    CheckedMoney checked;
    checked.amount = request.credit ? magnitude : -magnitude;
    if (checked.amount < kMin32 || checked.amount > kMax32)
        return refused(MoneyResult::Refused,
                       QStringLiteral("Ошибка! Сумма операции слишком велика. Операция не выполнена."));

    if (!request.importDate.isEmpty()) {
        const QDate date = QLocale().toDate(request.importDate, QLocale::ShortFormat);
        if (!date.isValid())
            return refused(MoneyResult::Refused,
                           QStringLiteral("Ошибка! Неверная дата операции: %1. Операция не выполнена.").arg(request.importDate));
        checked.stamp = QDateTime(date, QTime(0, 0));
    }
    status = MoneyResult::Done;
    return checked;
}

void reportMissingSubscriber(qint32 id) {
    showMessage(QStringLiteral("Ошибка! Абонент %1 не найден. Операция не выполнена.").arg(id));
}

std::optional<qint64> balanceAfterOperation(qint64 before, qint64 amount) {
    const qint64 after = before + amount;
    if (after >= kMin32 && after <= kMax32) return after;
    showMessage(QStringLiteral("Ошибка! Баланс абонента вышел бы за допустимые пределы. Операция не выполнена."));
    return std::nullopt;
}

MoneyResult MoneyOperation::perform(const MoneyRequest& request) {
    MoneyResult::Status status;
    const auto checked = checkMoneyRequest(request, status);
    if (!checked) return MoneyResult{status};

    // The balance is read again under a row lock: a charge or another operator's payment made since the
    // register was loaded must not be overwritten.
    Transaction transaction;
    QSqlQuery stored = execSql(billing_sql::selectBalanceForUpdate, {request.subscriberId});
    if (!stored.next()) {
        transaction.commit();  // nothing written; an enclosing transaction must not be doomed
        reportMissingSubscriber(request.subscriberId);
        return MoneyResult{MoneyResult::Refused};
    }
    const qint64 before = stored.value(0).toLongLong();  // an empty balance counts as 0
    const bool wasOn = stored.value(1).toInt() == 1;
    const auto after = balanceAfterOperation(before, checked->amount);
    if (!after) {
        transaction.commit();
        return MoneyResult{MoneyResult::Refused};
    }
    const bool isOn = *after > 0;
    execSql(billing_sql::updateBalanceAndLock, {*after, isOn ? 1 : 0, request.subscriberId});
    if (balanceChanged) balanceChanged(request.subscriberId, wasOn, isOn);
    if (checked->stamp.isValid())
        execSql(billing_sql::insertDatedPayment, {request.subscriberId, checked->amount, *after, checked->stamp});
    else
        execSql(billing_sql::insertPayment, {request.subscriberId, checked->amount, *after});
    transaction.commit();
    return MoneyResult{MoneyResult::Done, static_cast<qint32>(checked->amount), static_cast<qint32>(*after), isOn};
}

}  // namespace kavrin
