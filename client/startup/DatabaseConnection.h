#pragma once
// The client's one connection to the database `kavrin` (the default QSqlDatabase connection): the host comes
// from kavrin.conf, the user and password from the login dialog.
#include <QString>

namespace kavrin {

class DatabaseConnection {
public:
    static constexpr int kMySqlPort = 3306;

    static DatabaseConnection& shared();

    void setHostName(const QString& host) { host_ = host; }
    QString hostName() const { return host_; }
    // The login dialog's answer; nothing is checked until the connection is made.
    void setLogin(const QString& user, const QString& password);
    QString userName() const { return user_; }
    // The server's port. The client always uses MySQL's own port; tests point it at their private server.
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }

    // Connects with the current parameters; throws DatabaseError with the server's reason.
    void open();
    void close();
    bool isOpen() const;

private:
    QString host_ = QStringLiteral("127.0.0.1");
    QString user_;
    QString password_;
    int port_ = kMySqlPort;
};

}  // namespace kavrin
