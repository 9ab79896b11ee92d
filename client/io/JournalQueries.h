#pragma once
// The query texts of the money journal's dataset as the journal and report windows switch it, and the
// operation names the journal's lookup shows. Dates and ids are bound values.
#include <QDate>
#include <QString>
#include <QVariantList>

namespace kavrin::journal_sql {

inline const QString kRecent10 =
    QStringLiteral("select * from prihod_rashod where TO_DAYS(NOW()) - TO_DAYS(date) <= 10");
// The text the main window sets after a journal or report window closes.
inline const QString kRecent3 =
    QStringLiteral("select * from prihod_rashod where TO_DAYS(NOW()) - TO_DAYS(date) <= 3");
inline const QString kForSubscriber = QStringLiteral("select * from prihod_rashod where id_abona=?");
inline const QString kForPeriod = QStringLiteral("select * from prihod_rashod where date Between ? and ?");
inline const QString kOperationNames = QStringLiteral("select * from tip_operaciy_money");

// The binds of kForPeriod: the period runs from midnight of `from` to midnight after `to`, both included,
// so the whole end day belongs to it (and a row stamped exactly at that midnight too).
QVariantList periodBinds(const QDate& from, const QDate& to);

// Rewrites the two rows of tip_operaciy_money ("Пополнение счёта", "Списание средств").
void rewriteOperationNames();

}  // namespace kavrin::journal_sql
