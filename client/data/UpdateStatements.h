#pragma once
// The statements that send a dataset's changes: INSERT naming the columns given a value, UPDATE of the changed
// columns and DELETE, both naming the row by its key, or by all its original values when the table has none.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

namespace kavrin {

struct Statement {
    QString sql;
    QVariantList binds;
};

class UpdateStatements {
public:
    // `columns`: the table's columns in the dataset's field order; `keyColumns`: indexes into `columns`
    // (empty: match on every original value).
    UpdateStatements(QString table, QStringList columns, std::vector<int> keyColumns);

    bool keyless() const { return keys_.empty(); }
    Statement insert(const QVariantList& values) const;
    // Nothing to send (empty sql) when no value changed.
    Statement update(const QVariantList& original, const QVariantList& current) const;
    Statement remove(const QVariantList& original) const;
    Statement exists(const QVariantList& original) const;
    // The row as the table now holds it, found by the key values in `row` (needs a key).
    Statement reread(const QVariantList& row) const;
    // The rows as stored, found by a one-column key; the key column comes first in each result row.
    Statement rereadRows(const std::vector<QVariantList>& rows) const;

    static QString quoted(const QString& identifier);

private:
    void where(const QVariantList& original, Statement& s) const;

    QString table_;
    QStringList columns_;
    std::vector<int> keys_;
    mutable QHash<QByteArray, QString> insertTexts_;  // by which columns an insert names
};

}  // namespace kavrin
