#pragma once
// The private MariaDB of the test run (scripts/test starts it; KAVRIN_TEST_DB_PORT and KAVRIN_TEST_DB_PASSWORD
// say where it listens). Tests that use it are marked DATABASE in CMake and never run at the same time.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

namespace kavrin::test {

struct DbParams {
    QString host = QStringLiteral("127.0.0.1");
    int port = 3307;
    QString user = QStringLiteral("root");
    QString password = QStringLiteral("kavrin");
};

DbParams testDbParams();

// A path inside the source tree.
QString sourcePath(const QString& relative);

// Opens (or reopens) the QMYSQL connection `name` to the database `kavrin`.
QSqlDatabase openTestConnection(const QString& name = QLatin1String(QSqlDatabase::defaultConnection));

// Drops `kavrin`, creates it anew and runs the given SQL file (sql/schema.sql by default) in it.
void recreateDatabase(const QString& schemaFile = QString());

// Runs every statement of an SQL file (statements end with ";" at the end of a line).
void runSqlFile(QSqlDatabase db, const QString& path);

// Runs one statement; fails the test with the server's error when it fails.
QSqlQuery exec(const QString& sql, QSqlDatabase db = QSqlDatabase::database());
// The first column of the first row of a query.
QVariant scalar(const QString& sql, QSqlDatabase db = QSqlDatabase::database());

// A test on a fresh `kavrin` made from sql/schema.sql, reached through the default connection.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
};

}  // namespace kavrin::test
