#include "Odbc.h"

namespace ostrel {

std::string odbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::string out;
    if (handle == SQL_NULL_HANDLE) return out;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLCHAR text[SQL_MAX_MESSAGE_LENGTH] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!odbcOk(SQLGetDiagRec(handleType, handle, i, state, &native, text, sizeof text, &length))) break;
        if (!out.empty()) out += '\n';
        out += reinterpret_cast<const char*>(state);
        out += ": ";
        out += reinterpret_cast<const char*>(text);
    }
    return out;
}

bool OdbcConnection::connect(const std::string& dataSource, const std::string& login,
                             const std::string& password, std::string* error) {
    disconnect();
    auto fail = [&](SQLSMALLINT type, SQLHANDLE h, const char* what) {
        if (error) {
            *error = what;
            std::string diag = odbcDiagnostics(type, h);
            if (!diag.empty()) *error += ": " + diag;
        }
        if (hDbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, hDbc_);
        if (hEnv_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, hEnv_);
        hDbc_ = SQL_NULL_HDBC;
        hEnv_ = SQL_NULL_HENV;
        return false;
    };
    if (!odbcOk(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv_))) {
        hEnv_ = SQL_NULL_HENV;
        return fail(SQL_HANDLE_ENV, SQL_NULL_HANDLE, "no ODBC environment");
    }
    SQLSetEnvAttr(hEnv_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), SQL_IS_INTEGER);
    if (!odbcOk(SQLSetEnvAttr(hEnv_, SQL_ATTR_OUTPUT_NTS, reinterpret_cast<SQLPOINTER>(SQL_TRUE), SQL_IS_INTEGER)))
        return fail(SQL_HANDLE_ENV, hEnv_, "ODBC environment refused null-terminated output");
    if (!odbcOk(SQLAllocHandle(SQL_HANDLE_DBC, hEnv_, &hDbc_))) {
        hDbc_ = SQL_NULL_HDBC;
        return fail(SQL_HANDLE_ENV, hEnv_, "no ODBC connection handle");
    }
    SQLRETURN r = SQLConnect(hDbc_, (SQLCHAR*)dataSource.c_str(), static_cast<SQLSMALLINT>(dataSource.size()),
                             (SQLCHAR*)login.c_str(), static_cast<SQLSMALLINT>(login.size()),
                             (SQLCHAR*)password.c_str(), static_cast<SQLSMALLINT>(password.size()));
    if (!odbcOk(r)) return fail(SQL_HANDLE_DBC, hDbc_, "connect failed");
    connected_ = true;
    return true;
}

void OdbcConnection::disconnect() {
    if (!connected_) return;
    SQLDisconnect(hDbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, hDbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, hEnv_);
    hDbc_ = SQL_NULL_HDBC;
    hEnv_ = SQL_NULL_HENV;
    connected_ = false;
}

OdbcStatement::OdbcStatement(const OdbcConnection& connection) {
    if (!connection.connected() || !odbcOk(SQLAllocHandle(SQL_HANDLE_STMT, connection.handle(), &h_)))
        h_ = SQL_NULL_HSTMT;
}

OdbcStatement::~OdbcStatement() {
    if (h_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, h_);
}

bool OdbcStatement::execDirect(const std::string& sql) {
    if (!valid()) return false;
    return odbcOk(SQLExecDirect(h_, (SQLCHAR*)sql.c_str(), SQL_NTS));
}

}  // namespace ostrel
