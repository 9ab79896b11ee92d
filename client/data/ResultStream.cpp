#include "data/ResultStream.h"

#include "data/Sql.h"

#ifdef KAVRIN_HAVE_MARIADB
#include "data/ClientLibrary.h"
#endif

namespace kavrin {

#ifdef KAVRIN_HAVE_MARIADB

namespace {

using client_library::serverError;

// The same types Qt's MySQL driver reports, so a dataset looks alike whichever way it was read.
QMetaType typeOf(const MYSQL_FIELD& f) {
    const bool isUnsigned = f.flags & UNSIGNED_FLAG;
    switch (f.type) {
    case MYSQL_TYPE_TINY: return QMetaType(isUnsigned ? QMetaType::UChar : QMetaType::Char);
    case MYSQL_TYPE_SHORT: return QMetaType(isUnsigned ? QMetaType::UShort : QMetaType::Short);
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24: return QMetaType(isUnsigned ? QMetaType::UInt : QMetaType::Int);
    case MYSQL_TYPE_YEAR: return QMetaType(QMetaType::Int);
    case MYSQL_TYPE_LONGLONG: return QMetaType(isUnsigned ? QMetaType::ULongLong : QMetaType::LongLong);
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL: return QMetaType(QMetaType::Double);
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE: return QMetaType(QMetaType::QDate);
    case MYSQL_TYPE_TIME: return QMetaType(QMetaType::QString);  // a duration up to 838 hours, not a time of day
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP: return QMetaType(QMetaType::QDateTime);
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_STRING:
    case MYSQL_TYPE_VARCHAR:
        return QMetaType(f.charsetnr == 63 ? QMetaType::QByteArray : QMetaType::QString);  // 63: binary
    case MYSQL_TYPE_BIT: return QMetaType(QMetaType::QByteArray);
    default: return QMetaType(QMetaType::QString);
    }
}

struct ResultGuard {
    MYSQL* m;
    MYSQL_RES* result;
    ~ResultGuard() {
        if (result) {
            // Whatever was not read yet must leave the line before the connection is used again.
            while (mysql_fetch_row(result)) {
            }
            mysql_free_result(result);
        }
        while (mysql_more_results(m) && mysql_next_result(m) == 0)
            if (MYSQL_RES* extra = mysql_store_result(m)) mysql_free_result(extra);
    }
};

}  // namespace

bool streamQuery(const QString& sql, const FieldsHandler& onFields, const RowHandler& onRow) {
    MYSQL* m = client_library::handle();
    if (!m) return false;
    const QByteArray text = sql.toUtf8();
    if (mysql_real_query(m, text.constData(), (unsigned long)text.size()) != 0)
        throw DatabaseError(serverError(m, sql));
    ResultGuard guard{m, mysql_use_result(m)};
    if (!guard.result) {
        if (mysql_field_count(m) != 0) throw DatabaseError(serverError(m, sql));
        onFields({});  // a statement without a result
        return true;
    }
    MY_CHARSET_INFO charset{};
    mysql_get_character_set_info(m, &charset);
    const unsigned int bytesPerChar = charset.mbmaxlen ? charset.mbmaxlen : 1;
    const unsigned int n = mysql_num_fields(guard.result);
    const MYSQL_FIELD* f = mysql_fetch_fields(guard.result);
    std::vector<StreamField> fields;
    fields.reserve(n);
    for (unsigned int i = 0; i < n; ++i) {
        const bool fixedWidthText = (f[i].type == MYSQL_TYPE_STRING || f[i].type == MYSQL_TYPE_VAR_STRING) &&
                                    f[i].charsetnr != 63;
        fields.push_back({QString::fromUtf8(f[i].name, qsizetype(f[i].name_length)), typeOf(f[i]),
                          (f[i].flags & AUTO_INCREMENT_FLAG) != 0,
                          fixedWidthText ? int(f[i].length / bytesPerChar) : 0});
    }
    onFields(fields);
    while (MYSQL_ROW row = mysql_fetch_row(guard.result)) onRow(row, mysql_fetch_lengths(guard.result));
    if (mysql_errno(m) != 0) throw DatabaseError(serverError(m, sql));
    return true;
}

#else

bool streamQuery(const QString&, const FieldsHandler&, const RowHandler&) { return false; }

#endif

}  // namespace kavrin
