#pragma once
// The worker's side of the task queue: the task with the smallest id, and its delete.
#include "Odbc.h"
#include "TaskRow.h"

#include <memory>
#include <string>

namespace ostrel {

enum class FetchResult { Task, Empty, Failed };

class TaskQueue {
public:
    explicit TaskQueue(const OdbcConnection& connection) : connection_(connection) {}

    // Reads the first task by column position; a NULL column reads as 0.
    FetchResult takeFirst(TaskRow& task);
    // Deletes the task; false when the database refused (the task is then carried out again next time).
    bool remove(std::int32_t id);

    // Frees the statements (before the connection goes).
    void close() { dropStatements(); }

    // Why the last call failed, for the log.
    const std::string& lastError() const { return lastError_; }

    static constexpr const char* kSelectSql = "select * from zadaniya where id=(select min(id) from zadaniya)";

private:
    bool readRow(TaskRow& task);
    void dropStatements();

    const OdbcConnection& connection_;
    std::unique_ptr<OdbcStatement> select_;
    std::unique_ptr<OdbcStatement> delete_;
    std::string lastError_;
};

}  // namespace ostrel
