#include "startup/DatabaseConnection.h"

#include "data/Sql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kavrin {

DatabaseConnection& DatabaseConnection::shared() {
    static DatabaseConnection instance;
    return instance;
}

void DatabaseConnection::setLogin(const QString& user, const QString& password) {
    user_ = user;
    password_ = password;
}

void DatabaseConnection::open() {
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    if (db.isOpen()) db.close();
    db.setHostName(host_);
    db.setPort(port_);
    db.setDatabaseName(QStringLiteral("kavrin"));
    db.setUserName(user_);
    db.setPassword(password_);
    // A host that does not answer must end in the failure message, not in a window that hangs.
    db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=10"));
    if (!db.open()) {
        QString reason = db.lastError().text().trimmed();
        if (reason.isEmpty()) reason = QStringLiteral("QMYSQL: ") + host_;
        throw DatabaseError(reason);
    }
    execSql(QStringLiteral("SET NAMES utf8mb4"));
}

void DatabaseConnection::close() {
    QSqlDatabase db = connection();
    if (db.isValid()) db.close();
}

bool DatabaseConnection::isOpen() const { return connection().isOpen(); }

}  // namespace kavrin
