#include "data/ClientLibrary.h"

#ifdef KAVRIN_HAVE_MARIADB
#include "data/Sql.h"

#include <QSqlDriver>

namespace kavrin::client_library {

MYSQL* handle() {
    QSqlDatabase db = connection();
    if (!db.isOpen() || !db.driver()) return nullptr;
    const QVariant h = db.driver()->handle();
    // Qt names the type by the library's struct ("st_mysql*"); older builds by its typedef.
    if (!h.isValid() || (qstrcmp(h.typeName(), "st_mysql*") != 0 && qstrcmp(h.typeName(), "MYSQL*") != 0))
        return nullptr;
    return *static_cast<MYSQL* const*>(h.data());
}

QString serverError(MYSQL* m, const QString& sql) {
    return QString::fromUtf8(mysql_error(m)) + QStringLiteral("\n\n") + sql.left(500);
}

QString statementError(MYSQL_STMT* s, const QString& sql) {
    return QString::fromUtf8(mysql_stmt_error(s)) + QStringLiteral("\n\n") + sql.left(500);
}

}  // namespace kavrin::client_library
#endif
