#include "billing/ChargingRun.h"

#include "billing/BillingError.h"
#include "billing/BillingSql.h"
#include "billing/ChargePass.h"
#include "billing/ChargingMarks.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "data/Sql.h"

#include <QLocale>

namespace kavrin {
namespace {

QString dateText(const QDate& d) { return QLocale().toString(d, QLocale::ShortFormat); }

// Months between two dates by month number alone (the year is not looked at): 1..11.
int monthsBetween(const QDate& last, const QDate& today) {
    const int n = today.month() - last.month();
    return n > 0 ? n : n + 12;
}

}  // namespace

ChargingRun::Result ChargingRun::Button9Click(const Settings& settings) {
    try {
        return run(settings);
    } catch (const DatabaseError& e) {
        if (hideProgress) hideProgress();
        showMessage(QStringLiteral("Ошибка! Списание средств прервано.\n") + e.text());
        return Result::Failed;
    }
}

bool ChargingRun::confirmGap(const QString& text) {
    showMessage(text);
    const Answer answer = Dialogs::current().question(
        QStringLiteral("В случае ошибки может произойти сбой в системе. Если дата верна, то нажмите [ОК] и средства за "
                       "эти дни будут списаны"),
        QStringLiteral("Внимание"), Buttons::YesNo, Icon::Warning);
    if (answer != Answer::No) return true;
    showMessage(QStringLiteral("Операция по списанию прервана. Выставьте на ПК верную дату и время."));
    return false;
}

ChargingRun::Result ChargingRun::run(const Settings& settings) {
    const auto mark = charging_marks::last();
    if (!mark) {
        showMessage(QStringLiteral("Ошибка! Нет отметки о последнем списании средств (таблица spisanie пуста). "
                                   "Списание не выполнено."));
        return Result::Stopped;
    }
    QDate last = mark->date;
    int lastId = mark->id;
    const QDate today = Clock::current().today();
    const qint64 interval = settings.billingInterval;

    if (last == today) return Result::NothingToDo;
    if (last > today) {
        if (last > today.addDays(1)) {
            showMessage(QStringLiteral("Внимание! Текщая дата меньше даты последнего списания! [") + dateText(last) +
                        QStringLiteral("] Проверьте текущую дату в ПК и повторите попытку."));
            showMessage(QStringLiteral("Операция по списанию прервана. В случае повторения ошибки - сообщите "
                                       "администратору."));
            return Result::Stopped;
        }
        // The clock went back one day. Monthly, no month has passed: counting the month numbers round the
        // year would charge eleven months.
        if (interval == 2) return Result::NothingToDo;
    } else if (interval == 1) {
        if (last.addDays(3) < today) {
            const qint64 n = last.daysTo(today);
            if (!confirmGap(QStringLiteral("Списание денег производилось %1 дней назад[%2]. Проверьте текущую дату на "
                                           "компьютере.").arg(n).arg(dateText(last))))
                return Result::Stopped;
        }
    } else if (interval == 2) {
        if (last.month() == today.month()) return Result::NothingToDo;
        const int n = monthsBetween(last, today);
        if (n > 1 && !confirmGap(QStringLiteral("Списание денег производилось %1 месяца назад[%2]. Проверьте текущую "
                                                "дату на компьютере.").arg(n).arg(dateText(last))))
            return Result::Stopped;
    } else if (interval == 3) {
        return Result::NothingToDo;
    } else {
        showMessage(QStringLiteral("Операция по списанию прервана. Ошибка в настройке программы."));
        return Result::Stopped;
    }

    // Preparation.
    if (settings.useAutoBackup) {
        const Backup::Outcome outcome = backup ? backup() : Backup(DumpLogin::fromConnection()).Button10Click();
        if (outcome == Backup::Failed) {
            showMessage(QStringLiteral("Операция по списанию прервана: резервная копия базы не создана. Средства не "
                                       "списаны."));
            return Result::Stopped;
        }
    }
    execSql(billing_sql::truncateReport);
    if (reportEmptied) reportEmptied();
    qint64 coef = 1;
    if (settings.automaticChargingOn() && settings.useCoef) coef = std::max<qint64>(0, last.daysTo(today));
    if (interval == 2) coef = monthsBetween(last, today);

    // Passes: each one commits on its own, so an interrupted run resumes from the last completed pass.
    do {
        QString label;
        if (interval == 2)
            label = coef == 1 ? QStringLiteral("Задача: Списание средств за ") + dateText(today)
                              : QStringLiteral("Задача: Списание средств за период в %1 месяца").arg(coef);
        else
            label = coef == 1 ? QStringLiteral("Задача: Списание средств за ") + dateText(last.addDays(1))
                              : QStringLiteral("Задача: Списание средств за период в %1 дней").arg(coef);
        task(label);

        const QDate next = interval == 2 ? today : last.addDays(coef);
        ChargePass pass;
        pass.coef = coef;
        pass.useAutoNull = settings.useAutoNull;
        pass.chunkSize = chunkSize;
        pass.started = [this](int total) { if (showBar) showBar(total); };
        pass.progressed = [this](int done) {
            if (setBar) setBar(done);
            if (chunkWritten) chunkWritten(done);
        };
        try {
            pass.run(PassMark{lastId + 1, next});
        } catch (const std::exception& e) {
            if (hideProgress) hideProgress();
            const auto* billing = dynamic_cast<const BillingError*>(&e);
            const auto* database = dynamic_cast<const DatabaseError*>(&e);
            const QString why = billing ? billing->text() : database ? database->text() : QString::fromUtf8(e.what());
            showMessage(QStringLiteral("Ошибка! Списание средств прервано. Изменения этого прохода отменены: ни с "
                                       "одного абонента за этот период ничего не списано.\n") + why);
            return Result::Failed;
        }
        if (hideProgress) hideProgress();
        if (passDone) passDone();
        last = next;
        ++lastId;
    } while (last < today);

    if (marksChanged) marksChanged();
    try {
        if (reload) reload();
    } catch (const std::exception& e) {
        const auto* database = dynamic_cast<const DatabaseError*>(&e);
        showMessage(QStringLiteral("Ошибка! Средства списаны, но перезагрузка базы не выполнена. Выполните "
                                   "перезагрузку базы вручную.\n") + (database ? database->text() : QString::fromUtf8(e.what())));
        return Result::Failed;
    }
    task(QStringLiteral("Задача: Списание средств на ") + dateText(last.addDays(1)) + QStringLiteral(" выполнено."));
    return Result::Charged;
}

}  // namespace kavrin
