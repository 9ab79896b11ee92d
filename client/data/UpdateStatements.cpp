#include "data/UpdateStatements.h"

namespace kavrin {

UpdateStatements::UpdateStatements(QString table, QStringList columns, std::vector<int> keyColumns)
    : table_(std::move(table)), columns_(std::move(columns)), keys_(std::move(keyColumns)) {}

QString UpdateStatements::quoted(const QString& identifier) {
    // Column names such as `lock`, `date` or `64_1` need the quotes.
    QString q = identifier;
    q.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + q + QLatin1Char('`');
}

Statement UpdateStatements::insert(const QVariantList& values) const {
    // Columns left empty are not named, so the table's defaults (an auto-increment key, the moment of a
    // journal row) apply to them. The text depends only on which columns are empty: it is made once for each.
    Statement s;
    QByteArray named(columns_.size(), '0');
    for (int c = 0; c < columns_.size(); ++c) {
        if (values[c].isNull()) continue;
        named[c] = '1';
        s.binds << values[c];
    }
    auto it = insertTexts_.constFind(named);
    if (it == insertTexts_.constEnd()) {
        QStringList names, marks;
        for (int c = 0; c < columns_.size(); ++c) {
            if (named[c] != '1') continue;
            names << quoted(columns_[c]);
            marks << QStringLiteral("?");
        }
        it = insertTexts_.insert(named, QStringLiteral("insert into %1 (%2) values (%3)")
                                            .arg(quoted(table_), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    }
    s.sql = *it;
    return s;
}

Statement UpdateStatements::update(const QVariantList& original, const QVariantList& current) const {
    Statement s;
    QStringList sets;
    for (int c = 0; c < columns_.size(); ++c) {
        const bool same = original[c].isNull() == current[c].isNull() && original[c] == current[c];
        if (same) continue;
        sets << quoted(columns_[c]) + QStringLiteral("=?");
        s.binds << current[c];
    }
    if (sets.isEmpty()) return {};
    s.sql = QStringLiteral("update %1 set %2").arg(quoted(table_), sets.join(QLatin1Char(',')));
    where(original, s);
    return s;
}

Statement UpdateStatements::remove(const QVariantList& original) const {
    Statement s;
    s.sql = QStringLiteral("delete from %1").arg(quoted(table_));
    where(original, s);
    return s;
}

Statement UpdateStatements::exists(const QVariantList& original) const {
    Statement s;
    s.sql = QStringLiteral("select count(*) from %1").arg(quoted(table_));
    where(original, s);
    return s;
}

Statement UpdateStatements::reread(const QVariantList& row) const {
    Statement s;
    QStringList names;
    for (const QString& c : columns_) names << quoted(c);
    s.sql = QStringLiteral("select %1 from %2").arg(names.join(QLatin1Char(',')), quoted(table_));
    where(row, s);
    return s;
}

Statement UpdateStatements::rereadRows(const std::vector<QVariantList>& rows) const {
    const int key = keys_.front();
    Statement s;
    QStringList names{quoted(columns_[key])};
    for (const QString& c : columns_) names << quoted(c);
    QStringList marks;
    for (const QVariantList& row : rows) {
        marks << QStringLiteral("?");
        s.binds << row[key];
    }
    s.sql = QStringLiteral("select %1 from %2 where %3 in (%4)")
                .arg(names.join(QLatin1Char(',')), quoted(table_), quoted(columns_[key]), marks.join(QLatin1Char(',')));
    return s;
}

void UpdateStatements::where(const QVariantList& original, Statement& s) const {
    QStringList conditions;
    auto match = [&](int c) {
        if (original[c].isNull()) {
            conditions << quoted(columns_[c]) + QStringLiteral(" is null");
        } else {
            conditions << quoted(columns_[c]) + QStringLiteral("=?");
            s.binds << original[c];
        }
    };
    if (keys_.empty()) {
        for (int c = 0; c < columns_.size(); ++c) match(c);
    } else {
        for (int c : keys_) match(c);
    }
    s.sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    // Identical rows of a keyless table: one change touches one of them, as it did on screen.
    if (keys_.empty() && !s.sql.startsWith(QLatin1String("select"))) s.sql += QStringLiteral(" limit 1");
}

}  // namespace kavrin
