#include "support/BenchDatabase.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace kavrin::bench {

static void run(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(q.lastError().text()), qPrintable(sql.left(200)));
        std::exit(2);
    }
}

void createSchemaDatabase(QSqlDatabase db, const QString& name) {
    QSqlQuery q(db);
    run(q, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    run(q, QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4").arg(name));
    run(q, QStringLiteral("USE %1").arg(name));
    QFile schema(QStringLiteral(KAVRIN_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", KAVRIN_SCHEMA_FILE);
        std::exit(2);
    }
    QString statement;
    for (const QString& line : QString::fromUtf8(schema.readAll()).split(QLatin1Char('\n'))) {
        if (statement.isEmpty() && (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1String("--"))))
            continue;
        statement += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            run(q, statement);
            statement.clear();
        }
    }
}

}  // namespace kavrin::bench
