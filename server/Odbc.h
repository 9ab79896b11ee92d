#pragma once
// The server's database access: one ODBC connection to the data source "Kavrin_MySQL" and statements on it.
#include <sql.h>
#include <sqlext.h>

#include <string>

namespace ostrel {

inline constexpr const char* kDataSourceName = "Kavrin_MySQL";

// The diagnostic records of a handle, one per line, for the log.
std::string odbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle);

inline bool odbcOk(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

class OdbcConnection {
public:
    OdbcConnection() = default;
    ~OdbcConnection() { disconnect(); }
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // Environment (ODBC 3, null-terminated output), connection, connect with login and password.
    // On failure everything allocated is freed again and `error` says why.
    bool connect(const std::string& dataSource, const std::string& login, const std::string& password,
                 std::string* error = nullptr);
    // Disconnects and frees both handles; does nothing when not connected.
    void disconnect();

    bool connected() const { return connected_; }
    SQLHDBC handle() const { return hDbc_; }

private:
    SQLHENV hEnv_ = SQL_NULL_HENV;
    SQLHDBC hDbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

// A statement handle, freed when the object goes.
class OdbcStatement {
public:
    explicit OdbcStatement(const OdbcConnection& connection);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    bool valid() const { return h_ != SQL_NULL_HSTMT; }
    SQLHSTMT handle() const { return h_; }
    bool execDirect(const std::string& sql);
    std::string diagnostics() const { return odbcDiagnostics(SQL_HANDLE_STMT, h_); }

private:
    SQLHSTMT h_ = SQL_NULL_HSTMT;
};

}  // namespace ostrel
