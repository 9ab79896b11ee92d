#pragma once
// The MariaDB/MySQL client library under the client's Qt connection, for the few paths where Qt's own layer
// costs more than the work itself (reading a whole register, writing thousands of rows).
#ifdef KAVRIN_HAVE_MARIADB
#include <QString>
#include <mysql.h>

namespace kavrin::client_library {

// The connection's handle, or nullptr when it is not a MariaDB/MySQL connection.
MYSQL* handle();
QString serverError(MYSQL* m, const QString& sql);
QString statementError(MYSQL_STMT* s, const QString& sql);

}  // namespace kavrin::client_library
#endif
