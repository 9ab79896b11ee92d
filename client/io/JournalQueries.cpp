#include "io/JournalQueries.h"

#include "data/Sql.h"

namespace kavrin::journal_sql {

QVariantList periodBinds(const QDate& from, const QDate& to) { return {from, to.addDays(1)}; }

void rewriteOperationNames() {
    execSql(QStringLiteral("TRUNCATE tip_operaciy_money ;"));
    execSql(QStringLiteral("INSERT INTO `tip_operaciy_money` VALUES (1,\"Пополнение счёта\");"));
    execSql(QStringLiteral("INSERT INTO `tip_operaciy_money` VALUES (2,\"Списание средств\");"));
}

}  // namespace kavrin::journal_sql
