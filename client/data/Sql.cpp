#include "data/Sql.h"

#include <QSqlError>

namespace kavrin {

QSqlDatabase connection() { return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false); }

static QString describe(const QSqlError& e, const QString& sql) {
    QString text = e.text().trimmed();
    if (text.isEmpty()) text = QStringLiteral("Ошибка базы данных");
    return text + QStringLiteral("\n\n") + sql.left(500);
}

QSqlQuery execSql(const QString& sql, const QVariantList& binds) {
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    bool ok;
    if (binds.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const QVariant& v : binds) q.addBindValue(v);
            ok = q.exec();
        }
    }
    if (!ok) throw DatabaseError(describe(q.lastError(), sql));
    return q;
}

QVariant scalarSql(const QString& sql, const QVariantList& binds) {
    QSqlQuery q = execSql(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

Transaction::Transaction() {
    QSqlDatabase db = connection();
    if (!db.transaction()) throw DatabaseError(describe(db.lastError(), QStringLiteral("START TRANSACTION")));
    open_ = true;
}

Transaction::~Transaction() {
    if (open_) connection().rollback();
}

void Transaction::commit() {
    QSqlDatabase db = connection();
    if (!db.commit()) throw DatabaseError(describe(db.lastError(), QStringLiteral("COMMIT")));
    open_ = false;
}

}  // namespace kavrin
