#pragma once
// What the main window does between the login and a working register: find the server in kavrin.conf,
// connect, bring the schema up to date and open every shared dataset.
#include <QString>

namespace kavrin {

class DatabaseConnection;

struct StartupOutcome {
    bool connected = false;    // connected, upgraded and every dataset open
    bool closeWindow = false;  // the main window must close (a failure, or a wrong address in kavrin.conf)
};

// `folder` holds kavrin.conf. Any failure is shown as the connection failure message.
StartupOutcome openDatabase(DatabaseConnection& connection, const QString& folder);

inline const QString kConnectionFailedMessage =
    QStringLiteral("Ошибка подключения к серверу MySQL. Приложение будет закрыто");

}  // namespace kavrin
