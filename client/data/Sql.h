#pragma once
// Statements over the client's one connection (the default QSqlDatabase connection). A failed statement
// throws DatabaseError: like any uncaught database error it ends the handler that issued it, and the
// application shows its text to the user.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <stdexcept>

namespace kavrin {

class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// The client's connection.
QSqlDatabase connection();

// Prepares and runs `sql` with the values bound in order to its "?" placeholders; throws DatabaseError.
QSqlQuery execSql(const QString& sql, const QVariantList& binds = {});
// The first column of the first row, or an invalid QVariant when there is no row.
QVariant scalarSql(const QString& sql, const QVariantList& binds = {});

// Writes that belong together: committed by commit(), rolled back when left without it (an exception).
// Transactions nest: an inner one joins the outer, and only the outermost commits. An inner one left without
// commit dooms the outer, whose commit() then rolls back and throws.
class Transaction {
public:
    Transaction();
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    static bool active();  // a transaction is open on the client's connection

private:
    bool open_ = false;
    bool outermost_ = false;
};

}  // namespace kavrin
