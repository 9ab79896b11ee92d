#include "TaskQueue.h"

#include <cstdio>

namespace ostrel {

namespace {

// Column n (1-based) as a 64-bit integer; NULL or an unreadable column gives 0.
std::int64_t column(SQLHSTMT h, SQLUSMALLINT n) {
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    if (!odbcOk(SQLGetData(h, n, SQL_C_SBIGINT, &value, sizeof value, &indicator)) || indicator == SQL_NULL_DATA)
        return 0;
    return value;
}

}  // namespace

void TaskQueue::dropStatements() {
    select_.reset();
    delete_.reset();
}

FetchResult TaskQueue::takeFirst(TaskRow& task) {
    if (!select_) select_ = std::make_unique<OdbcStatement>(connection_);
    if (!delete_) delete_ = std::make_unique<OdbcStatement>(connection_);
    if (!select_->valid() || !delete_->valid()) {
        lastError_ = "cannot allocate statements";
        dropStatements();
        return FetchResult::Failed;
    }
    SQLHSTMT h = select_->handle();
    SQLFreeStmt(h, SQL_CLOSE);
    if (!select_->execDirect(kSelectSql)) {
        lastError_ = select_->diagnostics();
        dropStatements();
        return FetchResult::Failed;
    }
    SQLRETURN r = SQLFetch(h);
    if (r == SQL_NO_DATA) {
        SQLFreeStmt(h, SQL_CLOSE);
        return FetchResult::Empty;
    }
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO) {
        lastError_ = select_->diagnostics();
        dropStatements();
        return FetchResult::Failed;
    }
    bool ok = readRow(task);
    SQLFreeStmt(h, SQL_CLOSE);
    return ok ? FetchResult::Task : FetchResult::Failed;
}

bool TaskQueue::readRow(TaskRow& task) {
    SQLHSTMT h = select_->handle();
    SQLSMALLINT columns = 0;
    SQLNumResultCols(h, &columns);
    if (columns < kTaskColumns) {
        lastError_ = "zadaniya has " + std::to_string(columns) + " columns, expected " + std::to_string(kTaskColumns);
        return false;
    }
    // Values travel as their low 16 or 32 bits, whatever the column's signedness.
    task.id = static_cast<std::int32_t>(column(h, 1));
    task.nMesta = static_cast<std::int32_t>(column(h, 2));
    task.nRec = static_cast<std::int32_t>(column(h, 3));
    task.type = static_cast<std::uint16_t>(column(h, 4));
    task.countMest = static_cast<std::int32_t>(column(h, 5));
    for (int i = 0; i < kWordCount; ++i)
        task.words[i] = static_cast<std::uint16_t>(column(h, static_cast<SQLUSMALLINT>(6 + i)));
    task.balans = static_cast<std::int32_t>(column(h, 70));
    return true;
}

bool TaskQueue::remove(std::int32_t id) {
    if (!delete_ || !delete_->valid()) return false;
    char sql[64];
    std::snprintf(sql, sizeof sql, "delete from zadaniya where id=%d", id);
    if (delete_->execDirect(sql)) {
        SQLFreeStmt(delete_->handle(), SQL_CLOSE);
        return true;
    }
    lastError_ = delete_->diagnostics();
    dropStatements();
    return false;
}

}  // namespace ostrel
