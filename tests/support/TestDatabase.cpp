#include "support/TestDatabase.h"

#include <QFile>
#include <QSqlError>
#include <QStringList>

namespace kavrin::test {

DbParams testDbParams() {
    DbParams p;
    if (qEnvironmentVariableIsSet("KAVRIN_TEST_DB_PORT")) p.port = qEnvironmentVariableIntValue("KAVRIN_TEST_DB_PORT");
    if (qEnvironmentVariableIsSet("KAVRIN_TEST_DB_PASSWORD")) p.password = qEnvironmentVariable("KAVRIN_TEST_DB_PASSWORD");
    return p;
}

QString sourcePath(const QString& relative) {
    return QStringLiteral(KAVRIN_SOURCE_DIR) + QLatin1Char('/') + relative;
}

static QSqlDatabase connect(const QString& name, const QString& database) {
    DbParams p = testDbParams();
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    if (db.isOpen()) db.close();
    db.setHostName(p.host);
    db.setPort(p.port);
    db.setUserName(p.user);
    db.setPassword(p.password);
    db.setDatabaseName(database);
    db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=5"));
    if (!db.open()) ADD_FAILURE() << "cannot connect to the test MariaDB on port " << p.port << ": "
                                  << db.lastError().text().toStdString();
    QSqlQuery(db).exec(QStringLiteral("SET NAMES utf8mb4"));
    return db;
}

QSqlDatabase openTestConnection(const QString& name) { return connect(name, QStringLiteral("kavrin")); }

void runSqlFile(QSqlDatabase db, const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return;
    }
    QString statement;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (statement.isEmpty() && (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1String("--"))))
            continue;
        statement += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            exec(statement, db);
            statement.clear();
        }
    }
    if (!statement.trimmed().isEmpty()) exec(statement, db);
}

void recreateDatabase(const QString& schemaFile) {
    QSqlDatabase admin = connect(QStringLiteral("kavrin_test_admin"), QString());
    exec(QStringLiteral("DROP DATABASE IF EXISTS kavrin"), admin);
    exec(QStringLiteral("CREATE DATABASE kavrin CHARACTER SET utf8mb4"), admin);
    exec(QStringLiteral("USE kavrin"), admin);
    runSqlFile(admin, schemaFile.isEmpty() ? sourcePath(QStringLiteral("sql/schema.sql")) : schemaFile);
    // Connections that had `kavrin` selected lost it with the drop; select it again.
    for (const QString& name : QSqlDatabase::connectionNames()) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (name != QLatin1String("kavrin_test_admin") && db.isOpen() && db.databaseName() == QLatin1String("kavrin"))
            QSqlQuery(db).exec(QStringLiteral("USE kavrin"));
    }
}

QSqlQuery exec(const QString& sql, QSqlDatabase db) {
    QSqlQuery q(db);
    if (!q.exec(sql))
        ADD_FAILURE() << "SQL failed: " << sql.left(300).toStdString() << "\n  " << q.lastError().text().toStdString();
    return q;
}

QVariant scalar(const QString& sql, QSqlDatabase db) {
    QSqlQuery q = exec(sql, db);
    if (!q.next()) return {};
    return q.value(0);
}

void DatabaseTest::SetUp() {
    recreateDatabase();
    openTestConnection();
}

}  // namespace kavrin::test
