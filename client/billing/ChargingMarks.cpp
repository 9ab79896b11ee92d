#include "billing/ChargingMarks.h"

#include "billing/BillingSql.h"
#include "common/Clock.h"
#include "data/Sql.h"

namespace kavrin::charging_marks {

std::optional<Mark> last() {
    QSqlQuery q = execSql(billing_sql::selectLastMark);
    if (!q.next() || q.value(1).isNull()) return std::nullopt;
    return Mark{q.value(0).toInt(), q.value(1).toDate()};
}

void appendToday() {
    const QDateTime now = Clock::current().now();
    const int lastId = scalarSql(billing_sql::selectLastMarkId).toInt();  // 0 for an empty table
    execSql(billing_sql::insertMark, {lastId + 1, now.date(), now.time()});
}

}  // namespace kavrin::charging_marks
