#pragma once
#include <QSqlDatabase>
#include <QString>

namespace kavrin::bench {

// Drops the database `name`, creates it anew from sql/schema.sql and makes it the current database of `db`,
// so a benchmark never touches `kavrin`. A failed statement ends the program with the server's message.
void createSchemaDatabase(QSqlDatabase db, const QString& name);

}  // namespace kavrin::bench
