#include "data/BoundWrite.h"

#include "data/Sql.h"

#include <QDateTime>
#include <algorithm>
#include <cstring>

#ifdef KAVRIN_HAVE_MARIADB
#include "data/ClientLibrary.h"

#include <memory>
#include <vector>
#endif

namespace kavrin {

namespace {

// The rows as multi-row INSERTs, each under the server's limit of bound values per statement.
qulonglong insertAsMultiRow(const QString& sql, const std::vector<QVariantList>& rows) {
    if (rows.empty()) return 0;
    const QString tuple = sql.mid(sql.lastIndexOf(QLatin1String(" values ")) + 8);
    const size_t perStatement = std::max<size_t>(1, 30000 / std::max<size_t>(1, size_t(rows.front().size())));
    qulonglong inserted = 0;
    for (size_t from = 0; from < rows.size(); from += perStatement) {
        const size_t to = std::min(rows.size(), from + perStatement);
        QString text = sql;
        QVariantList binds;
        for (size_t r = from; r < to; ++r) {
            if (r > from) text += QLatin1Char(',') + tuple;
            binds += rows[r];
        }
        inserted += execWrite(text, binds);
    }
    return inserted;
}

}  // namespace

#ifdef KAVRIN_HAVE_MARIADB

namespace {

struct StatementCloser {
    void operator()(MYSQL_STMT* s) const { mysql_stmt_close(s); }
};

// One column of a bulk execution: its values as arrays the library reads row by row.
struct BulkColumn {
    enum class Kind { Number, Unsigned, Real, Date, DateTime, Bytes, Text };
    Kind kind = Kind::Text;
    std::vector<long long> numbers;
    std::vector<double> reals;
    std::vector<QByteArray> texts;
    std::vector<char*> pointers;
    std::vector<unsigned long> lengths;
    std::vector<char> indicators;

    static Kind kindOf(const QVariant& v) {
        switch (v.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong: return Kind::Number;
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong: return Kind::Unsigned;
        case QMetaType::Float:
        case QMetaType::Double: return Kind::Real;
        case QMetaType::QDate: return Kind::Date;
        case QMetaType::QDateTime: return Kind::DateTime;
        case QMetaType::QByteArray: return Kind::Bytes;
        default: return Kind::Text;
        }
    }

    void fill(const std::vector<QVariantList>& rows, size_t column, MYSQL_BIND& b) {
        const size_t n = rows.size();
        for (const QVariantList& row : rows)
            if (!row[qsizetype(column)].isNull()) {
                kind = kindOf(row[qsizetype(column)]);
                break;
            }
        indicators.assign(n, STMT_INDICATOR_NONE);
        b = MYSQL_BIND{};
        b.u.indicator = indicators.data();
        switch (kind) {
        case Kind::Number:
        case Kind::Unsigned:
            numbers.resize(n);
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.buffer = numbers.data();
            b.is_unsigned = kind == Kind::Unsigned;
            break;
        case Kind::Real:
            reals.resize(n);
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = reals.data();
            break;
        case Kind::Date:
        case Kind::DateTime:
        case Kind::Bytes:
        case Kind::Text:
            texts.resize(n);
            pointers.resize(n);
            lengths.resize(n);
            // Dates travel as ISO text: the library's bulk path mishandles arrays of MYSQL_TIME.
            b.buffer_type = kind == Kind::Bytes ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
            b.buffer = pointers.data();
            b.length = lengths.data();
            break;
        }
        for (size_t r = 0; r < n; ++r) {
            const QVariant& v = rows[r][qsizetype(column)];
            if (v.isNull()) {
                indicators[r] = STMT_INDICATOR_NULL;
                continue;
            }
            switch (kind) {
            case Kind::Number: numbers[r] = v.toLongLong(); break;
            case Kind::Unsigned: numbers[r] = static_cast<long long>(v.toULongLong()); break;
            case Kind::Real: reals[r] = v.toDouble(); break;
            case Kind::Date:
            case Kind::DateTime:
            case Kind::Bytes:
            case Kind::Text:
                texts[r] = kind == Kind::Bytes      ? v.toByteArray()
                           : kind == Kind::Date     ? v.toDate().toString(Qt::ISODate).toUtf8()
                           : kind == Kind::DateTime ? v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8()
                                                    : v.toString().toUtf8();
                pointers[r] = texts[r].data();
                lengths[r] = static_cast<unsigned long>(texts[r].size());
                break;
            }
        }
    }
};

// The server runs arrays of bound rows from MariaDB 10.2 on; MySQL does not know the command.
bool bulkSupported(MYSQL* m) {
    return mysql_get_server_version(m) >= 100206 && std::strstr(mysql_get_server_info(m), "MariaDB") != nullptr;
}

// Runs the statement once per row, all rows in one bulk execution.
qulonglong runBulk(MYSQL* m, const QString& sql, const std::vector<QVariantList>& rows) {
    std::unique_ptr<MYSQL_STMT, StatementCloser> statement(mysql_stmt_init(m));
    if (!statement) throw DatabaseError(client_library::serverError(m, sql));
    MYSQL_STMT* s = statement.get();
    const QByteArray text = sql.toUtf8();
    if (mysql_stmt_prepare(s, text.constData(), static_cast<unsigned long>(text.size())) != 0)
        throw DatabaseError(client_library::statementError(s, sql));
    const size_t width = mysql_stmt_param_count(s);
    for (const QVariantList& row : rows)
        if (size_t(row.size()) != width)
            throw DatabaseError(QStringLiteral("Число значений (%1) не совпадает с числом мест для них (%2)\n\n")
                                    .arg(row.size())
                                    .arg(width) +
                                sql.left(500));
    std::vector<BulkColumn> columns(width);
    std::vector<MYSQL_BIND> binds(width);
    for (size_t c = 0; c < width; ++c) columns[c].fill(rows, c, binds[c]);
    unsigned int arraySize = static_cast<unsigned int>(rows.size());
    if (mysql_stmt_attr_set(s, STMT_ATTR_ARRAY_SIZE, &arraySize) != 0 ||
        (width > 0 && mysql_stmt_bind_param(s, binds.data()) != 0))
        throw DatabaseError(client_library::statementError(s, sql));
    if (mysql_stmt_execute(s) != 0) throw DatabaseError(client_library::statementError(s, sql));
    return mysql_stmt_affected_rows(s);
}

}  // namespace

qulonglong execInsertRows(const QString& sql, const std::vector<QVariantList>& rows) {
    if (rows.empty()) return 0;
    MYSQL* m = client_library::handle();
    if (!m || !bulkSupported(m)) return insertAsMultiRow(sql, rows);
    return runBulk(m, sql, rows);
}

qulonglong execWrite(const QString& sql, const QVariantList& binds) {
    MYSQL* m = client_library::handle();
    if (!m || !bulkSupported(m)) return qulonglong(execSql(sql, binds).numRowsAffected());
    return runBulk(m, sql, {binds});
}

#else

qulonglong execWrite(const QString& sql, const QVariantList& binds) {
    return qulonglong(execSql(sql, binds).numRowsAffected());
}

qulonglong execInsertRows(const QString& sql, const std::vector<QVariantList>& rows) {
    return insertAsMultiRow(sql, rows);
}

#endif

}  // namespace kavrin
