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

namespace {
int transactionDepth = 0;     // the client has one connection and one thread
bool transactionDoomed = false;
}  // namespace

bool Transaction::active() { return transactionDepth > 0; }

Transaction::Transaction() {
    if (transactionDepth == 0) {
        QSqlDatabase db = connection();
        if (!db.transaction()) throw DatabaseError(describe(db.lastError(), QStringLiteral("START TRANSACTION")));
        outermost_ = true;
        transactionDoomed = false;
    }
    ++transactionDepth;
    open_ = true;
}

Transaction::~Transaction() {
    if (!open_) return;
    --transactionDepth;
    if (outermost_) connection().rollback();
    else transactionDoomed = true;
}

void Transaction::commit() {
    if (!open_) return;
    if (!outermost_) {
        --transactionDepth;
        open_ = false;
        return;
    }
    QSqlDatabase db = connection();
    if (transactionDoomed) {
        --transactionDepth;
        open_ = false;
        db.rollback();
        throw DatabaseError(QStringLiteral("Изменения отменены: часть их не удалось сохранить"));
    }
    if (!db.commit()) throw DatabaseError(describe(db.lastError(), QStringLiteral("COMMIT")));
    --transactionDepth;
    open_ = false;
}

}  // namespace kavrin
