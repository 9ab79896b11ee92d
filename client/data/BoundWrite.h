#pragma once
// Writes that carry thousands of values in one statement (the multi-row inserts of an import).
#include <QString>
#include <QVariantList>
#include <vector>

namespace kavrin {

// Runs an INSERT, UPDATE or DELETE with `binds` bound in order to its "?" placeholders and returns the number
// of rows it affected. On a MariaDB server the values go to the client library's prepared statement directly,
// a small fraction of the cost of Qt's per-value binding; otherwise through execSql. Throws DatabaseError.
qulonglong execWrite(const QString& sql, const QVariantList& binds);

// Runs a one-row INSERT ("insert into t (a,b) values (?,?)") once for each of `rows`, every row giving a value
// for each "?" and each column keeping one kind of value. On a MariaDB server the rows go bound, as arrays, in
// one bulk execution: thousands of rows in one round trip at about the cost of the same rows written as text.
// Elsewhere they go as multi-row INSERTs. Returns the rows inserted; throws DatabaseError.
qulonglong execInsertRows(const QString& sql, const std::vector<QVariantList>& rows);

}  // namespace kavrin
