#include "data/ClientDataSet.h"

#include "data/BoundWrite.h"
#include "data/ColumnStore.h"
#include "data/ResultStream.h"
#include "data/Sql.h"
#include "data/UpdateStatements.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlRecord>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace kavrin {

namespace {

enum class Change { Inserted, Modified, Deleted };

struct Field {
    QString name;
    QMetaType type;
    bool autoValue = false;
    ClientDataSet::Calculation calculation;  // set for calculated fields
    int maxLength = 0;                       // characters; 0 = no limit known
};

// The rows of one query result.
struct Rows {
    std::vector<std::unique_ptr<Column>> columns;
    std::vector<Field> fields;  // data fields only
    size_t count = 0;
};

Rows fetch(const QString& sql, const QVariantList& binds) {
    Rows rows;
    if (binds.isEmpty()) {
        const bool streamed = streamQuery(
            sql,
            [&rows](const std::vector<StreamField>& fields) {
                for (const StreamField& f : fields) {
                    rows.columns.push_back(makeColumn(f.type));
                    rows.fields.push_back({f.name, rows.columns.back()->type(), f.autoValue, {}, f.maxLength});
                }
            },
            [&rows](const char* const* values, const unsigned long* lengths) {
                for (size_t i = 0; i < rows.columns.size(); ++i) {
                    if (values[i]) rows.columns[i]->appendText(values[i], lengths[i]);
                    else rows.columns[i]->appendNull();
                }
                ++rows.count;
            });
        if (streamed) return rows;
    }
    // Statements with bound values (and connections of other drivers) go through Qt.
    QSqlQuery q = execSql(sql, binds);
    const QSqlRecord record = q.record();
    const int n = record.count();
    for (int i = 0; i < n; ++i) {
        const QSqlField f = record.field(i);
        rows.columns.push_back(makeColumn(f.metaType()));
        rows.fields.push_back({f.name(), rows.columns.back()->type(), f.isAutoValue(), {}, 0});
    }
    if (q.size() > 0)
        for (auto& c : rows.columns) c->reserve(size_t(q.size()));
    while (q.next()) {
        for (int i = 0; i < n; ++i) rows.columns[i]->appendFetched(q.value(i));
        ++rows.count;
    }
    if (q.lastError().isValid()) throw DatabaseError(q.lastError().text() + QStringLiteral("\n\n") + sql);
    return rows;
}

QString tableOf(const QString& sql) {
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+`?([A-Za-z0-9_$]+)`?"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

static void requireOpen(const ClientDataSet& ds) {
    if (!ds.isOpen()) throw DatabaseError(QStringLiteral("Набор данных закрыт"));
}

// Leaving a record posts its pending change, or drops an untouched new record.
static void leaveRecord(ClientDataSet& ds) {
    if (ds.isEditing()) {
        if (ds.isModified()) ds.post();
        else ds.cancel();
    }
}

struct ClientDataSet::Impl {
    QString commandText;
    QVariantList params;
    QString tableName;
    bool tableNameSet = false;
    QStringList keyFields;
    bool keyFieldsSet = false;
    std::vector<std::pair<QString, Calculation>> calculations;

    State state = State::Inactive;
    int viewsPaused = 0;
    bool signalsWereBlocked = false;
    Rows rows;
    std::vector<Field> fields;  // data fields, then calculated ones
    QHash<QString, int> index;  // lower-case name -> field
    QHash<QString, int> exactIndex;  // name as the query gives it -> field
    std::vector<int> order;     // record position -> storage row
    std::vector<int> baseOrder;  // order as of the last open, refresh or apply (for cancelUpdates)
    int cur = -1;
    bool eof = true, bof = true;

    QVariantList buffer;  // the edit buffer (data fields)
    bool modified = false;
    int positionBeforeInsert = -1;

    std::unordered_map<int, Change> changes;  // storage row -> pending change
    std::vector<int> changeOrder;             // storage rows in the order they were first changed
    std::unordered_map<int, QVariantList> originals;

    // Key and columns of the table that applyUpdates writes, found once per table.
    QString describedTable;
    std::vector<int> keyColumns;   // field indexes
    std::vector<int> tableColumns;  // field indexes of fields the table has

    int dataCount() const { return int(rows.columns.size()); }
    int count() const { return int(order.size()); }
    bool editing() const { return state == State::Edit || state == State::Insert; }

    QVariantList readRow(int storage) const {
        QVariantList v;
        v.reserve(dataCount());
        for (const auto& c : rows.columns) v << c->get(size_t(storage));
        return v;
    }
    void writeRow(int storage, const QVariantList& v) {
        for (int i = 0; i < dataCount(); ++i) rows.columns[i]->set(size_t(storage), v[i]);
    }
    int newStorageRow() {
        for (auto& c : rows.columns) c->appendNull();
        return int(rows.count++);
    }

    void install(Rows&& fetched) {
        rows = std::move(fetched);
        fields = rows.fields;
        for (const auto& [name, f] : calculations) fields.push_back({name, QMetaType(), false, f, 0});
        index.clear();
        exactIndex.clear();
        for (int i = int(fields.size()) - 1; i >= 0; --i) {
            index.insert(fields[i].name.toLower(), i);
            exactIndex.insert(fields[i].name, i);
        }
        order.resize(rows.count);
        for (size_t i = 0; i < rows.count; ++i) order[i] = int(i);
        baseOrder = order;
        changes.clear();
        changeOrder.clear();
        originals.clear();
        describedTable.clear();
        buffer.clear();
        modified = false;
    }

    void describeTable() {
        const QString table = tableNameSet ? tableName : tableOf(commandText);
        if (table == describedTable && !table.isEmpty()) return;
        keyColumns.clear();
        tableColumns.clear();
        describedTable = table;
        if (table.isEmpty()) return;
        const QSqlRecord columns = connection().record(table);
        for (int i = 0; i < dataCount(); ++i)
            if (columns.isEmpty() || columns.indexOf(fields[i].name) >= 0) tableColumns.push_back(i);
        QStringList keys = keyFields;
        if (!keyFieldsSet) {
            const QSqlIndex pk = connection().primaryIndex(table);
            for (int i = 0; i < pk.count(); ++i) keys << pk.fieldName(i);
        }
        for (const QString& k : keys) {
            const int f = index.value(k.toLower(), -1);
            if (f < 0 || f >= dataCount()) {
                keyColumns.clear();  // a key the dataset does not carry cannot name its rows
                break;
            }
            keyColumns.push_back(f);
        }
    }
};

ClientDataSet::ClientDataSet(const QString& commandText, QObject* parent) : QObject(parent), d(new Impl) {
    d->commandText = commandText;
}

ClientDataSet::~ClientDataSet() = default;

void ClientDataSet::setCommandText(const QString& sql) { d->commandText = sql; }
QString ClientDataSet::commandText() const { return d->commandText; }
void ClientDataSet::setParams(const QVariantList& binds) { d->params = binds; }
QVariantList ClientDataSet::params() const { return d->params; }

void ClientDataSet::setTableName(const QString& t) {
    d->tableName = t;
    d->tableNameSet = !t.isEmpty();
    d->describedTable.clear();
}

QString ClientDataSet::tableName() const { return d->tableNameSet ? d->tableName : tableOf(d->commandText); }

void ClientDataSet::setKeyFields(const QStringList& k) {
    d->keyFields = k;
    d->keyFieldsSet = true;
    d->describedTable.clear();
}

QStringList ClientDataSet::keyFields() const {
    if (d->keyFieldsSet) return d->keyFields;
    if (!isOpen()) return {};
    d->describeTable();
    QStringList names;
    for (int f : d->keyColumns) names << d->fields[f].name;
    return names;
}

void ClientDataSet::open() {
    if (isOpen()) return;
    d->install(fetch(d->commandText, d->params));
    d->state = State::Browse;
    d->cur = d->count() > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->count() == 0;
    emit reset();
    emit stateChanged();
    emit currentChanged(d->cur);
    if (afterOpen) afterOpen(*this);
    if (afterScroll) afterScroll(*this);
}

void ClientDataSet::close() {
    if (!isOpen()) return;
    d->install(Rows{});
    d->fields.clear();
    d->index.clear();
    d->exactIndex.clear();
    d->state = State::Inactive;
    d->cur = -1;
    d->eof = d->bof = true;
    emit reset();
    emit stateChanged();
    emit currentChanged(-1);
}

bool ClientDataSet::isOpen() const { return d->state != State::Inactive; }

void ClientDataSet::refresh() {
    if (!isOpen()) return open();
    leaveRecord(*this);
    if (!d->changes.empty())
        throw DatabaseError(QStringLiteral("Перед обновлением данных изменения нужно сохранить в базе или отменить"));
    d->describeTable();
    QVariantList key;
    const int oldPosition = d->cur;
    if (d->cur >= 0)
        for (int f : d->keyColumns) key << d->rows.columns[f]->get(size_t(d->order[d->cur]));
    const std::vector<int> keyColumns = d->keyColumns;

    Rows fresh = fetch(d->commandText, d->params);
    bool sameFields = fresh.fields.size() == d->rows.fields.size();
    for (size_t i = 0; sameFields && i < fresh.fields.size(); ++i)
        sameFields = fresh.fields[i].name == d->rows.fields[i].name;
    const QString described = d->describedTable;
    d->install(std::move(fresh));
    if (sameFields) d->describedTable = described;  // the same fields: what was found about the table holds

    int position = -1;
    if (!key.isEmpty()) {
        for (int p = 0; p < d->count() && position < 0; ++p) {
            bool same = true;
            for (size_t k = 0; k < keyColumns.size() && same; ++k)
                same = d->rows.columns[keyColumns[k]]->equals(size_t(d->order[p]), key[int(k)]);
            if (same) position = p;
        }
    }
    if (position < 0) position = std::min(std::max(oldPosition, 0), d->count() - 1);
    d->cur = position;
    d->bof = d->cur <= 0;
    d->eof = d->count() == 0;
    emit reset();
    emit currentChanged(d->cur);
    if (afterScroll) afterScroll(*this);
}

int ClientDataSet::fieldCount() const { return int(d->fields.size()); }
QString ClientDataSet::fieldName(int i) const { return i >= 0 && i < fieldCount() ? d->fields[i].name : QString(); }
int ClientDataSet::fieldIndex(const QString& name) const {
    // Callers mostly spell names as the table does: look that up before paying for a lower-case copy.
    const auto exact = d->exactIndex.constFind(name);
    return exact != d->exactIndex.cend() ? *exact : d->index.value(name.toLower(), -1);
}
QMetaType ClientDataSet::fieldType(int i) const { return i >= 0 && i < fieldCount() ? d->fields[i].type : QMetaType(); }
bool ClientDataSet::isCalculated(int i) const { return i >= d->dataCount() && i < fieldCount(); }

int ClientDataSet::recordCount() const { return d->count(); }
int ClientDataSet::recNo() const { return d->cur + 1; }
bool ClientDataSet::eof() const { return d->eof; }
bool ClientDataSet::bof() const { return d->bof; }
bool ClientDataSet::isEmpty() const { return d->count() == 0; }

void ClientDataSet::setRecNo(int n) {
    requireOpen(*this);
    leaveRecord(*this);
    if (d->count() == 0) return;
    const int target = std::clamp(n, 1, d->count()) - 1;
    d->bof = d->eof = false;
    if (target == d->cur) return;
    d->cur = target;
    emit currentChanged(d->cur);
    if (afterScroll) afterScroll(*this);
}

void ClientDataSet::first() {
    setRecNo(1);
    d->bof = true;
    d->eof = d->count() == 0;
}

void ClientDataSet::last() {
    setRecNo(d->count());
    d->eof = true;
    d->bof = d->count() == 0;
}

void ClientDataSet::next() {
    requireOpen(*this);
    leaveRecord(*this);
    if (d->cur + 1 >= d->count()) {
        d->eof = true;
        return;
    }
    setRecNo(d->cur + 2);
}

void ClientDataSet::prior() {
    requireOpen(*this);
    leaveRecord(*this);
    if (d->cur <= 0) {
        d->bof = true;
        return;
    }
    setRecNo(d->cur);
}

QVariant ClientDataSet::value(const QString& field) const {
    const int f = fieldIndex(field);
    if (f < 0) throw DatabaseError(QStringLiteral("Поле «%1» не найдено").arg(field));
    return d->cur < 0 ? QVariant(d->fields[f].type) : value(d->cur, f);
}

QVariant ClientDataSet::value(int row, int column) const {
    if (row < 0 || row >= d->count() || column < 0 || column >= fieldCount()) return {};
    if (column >= d->dataCount()) return d->fields[column].calculation(*this, row);
    if (row == d->cur && d->editing()) return d->buffer[column];
    return d->rows.columns[column]->get(size_t(d->order[row]));
}

void ClientDataSet::setValue(const QString& field, const QVariant& v) {
    const int f = fieldIndex(field);
    if (f < 0) throw DatabaseError(QStringLiteral("Поле «%1» не найдено").arg(field));
    setValue(f, v);
}

void ClientDataSet::setValue(int column, const QVariant& v) {
    requireOpen(*this);
    if (column < 0 || column >= fieldCount()) throw DatabaseError(QStringLiteral("Нет поля с номером %1").arg(column));
    if (isCalculated(column))
        throw DatabaseError(QStringLiteral("Поле «%1» вычисляется и не может быть изменено").arg(fieldName(column)));
    const QVariant converted = d->rows.columns[column]->convert(v, fieldName(column));
    // Refused here, with the field named, rather than by the server at the next apply, where the change
    // would block every later one.
    if (const int limit = d->fields[column].maxLength; limit > 0 && converted.toString().size() > limit)
        throw DatabaseError(QStringLiteral("Значение поля «%1» длиннее %2 символов: «%3»")
                                .arg(fieldName(column)).arg(limit).arg(converted.toString()));
    if (!d->editing()) edit();
    d->buffer[column] = converted;
    d->modified = true;
    emit rowChanged(d->cur);
}

bool ClientDataSet::isModified() const { return d->editing() && d->modified; }

ClientDataSet::State ClientDataSet::state() const { return d->state; }

void ClientDataSet::edit() {
    requireOpen(*this);
    if (d->editing()) return;
    if (d->count() == 0) return insert();
    d->buffer = d->readRow(d->order[d->cur]);
    d->modified = false;
    d->state = State::Edit;
    emit stateChanged();
    if (afterEdit) afterEdit(*this);
}

void ClientDataSet::startInsert(bool atEnd) {
    requireOpen(*this);
    leaveRecord(*this);
    if (beforeInsert) beforeInsert(*this);
    // The handler may have reopened the dataset (the register does, to test a new number): place the new
    // record by the state it left.
    requireOpen(*this);
    leaveRecord(*this);
    const int position = atEnd || d->cur < 0 ? d->count() : d->cur;
    d->positionBeforeInsert = d->cur;
    const int storage = d->newStorageRow();
    d->order.insert(d->order.begin() + position, storage);
    d->buffer = d->readRow(storage);
    d->modified = false;
    d->cur = position;
    d->state = State::Insert;
    d->bof = d->eof = false;
    emit rowsInserted(position, 1);
    emit stateChanged();
    emit currentChanged(position);
    if (afterInsert) afterInsert(*this);
    if (afterScroll && d->state == State::Insert) afterScroll(*this);
}

void ClientDataSet::append() { startInsert(true); }

void ClientDataSet::insert() { startInsert(false); }

void ClientDataSet::post() {
    requireOpen(*this);
    if (!d->editing()) return;
    if (beforePost) beforePost(*this);
    if (!d->editing()) return;  // the handler settled the record itself
    const int storage = d->order[d->cur];
    if (d->state == State::Insert) {
        d->changes[storage] = Change::Inserted;
        d->changeOrder.push_back(storage);
    } else if (d->modified && d->changes.find(storage) == d->changes.end()) {
        d->originals[storage] = d->readRow(storage);
        d->changes[storage] = Change::Modified;
        d->changeOrder.push_back(storage);
    }
    d->writeRow(storage, d->buffer);
    d->buffer.clear();
    d->modified = false;
    d->state = State::Browse;
    emit rowChanged(d->cur);
    emit stateChanged();
    if (afterPost) afterPost(*this);
}

void ClientDataSet::cancel() {
    requireOpen(*this);
    if (!d->editing()) return;
    const bool inserting = d->state == State::Insert;
    d->buffer.clear();
    d->modified = false;
    d->state = State::Browse;
    if (inserting) {
        const int removed = d->cur;
        d->order.erase(d->order.begin() + removed);
        emit rowsRemoved(removed, 1);
        d->cur = std::min(d->positionBeforeInsert, d->count() - 1);
        if (d->cur < 0 && d->count() > 0) d->cur = 0;
        d->eof = d->count() == 0;
        emit currentChanged(d->cur);
    } else {
        emit rowChanged(d->cur);
    }
    emit stateChanged();
    if (afterCancel) afterCancel(*this);
    if (inserting && afterScroll) afterScroll(*this);
}

void ClientDataSet::deleteRecord() {
    requireOpen(*this);
    if (d->state == State::Insert) return cancel();
    if (d->count() == 0) throw DatabaseError(QStringLiteral("Нет записи для удаления"));
    if (beforeDelete) beforeDelete(*this);
    const int storage = d->order[d->cur];
    const bool wasEditing = d->editing();
    d->buffer.clear();
    d->modified = false;
    d->state = State::Browse;
    const auto it = d->changes.find(storage);
    if (it == d->changes.end()) {
        d->originals[storage] = d->readRow(storage);
        d->changes[storage] = Change::Deleted;
        d->changeOrder.push_back(storage);
    } else if (it->second == Change::Inserted) {
        d->changes.erase(it);  // never reached the database: nothing to send
    } else {
        it->second = Change::Deleted;
    }
    const int removed = d->cur;
    d->order.erase(d->order.begin() + removed);
    emit rowsRemoved(removed, 1);
    d->cur = std::min(removed, d->count() - 1);
    d->eof = d->count() == 0;
    if (wasEditing) emit stateChanged();
    emit currentChanged(d->cur);
    if (afterDelete) afterDelete(*this);
    if (afterScroll) afterScroll(*this);
}

int ClientDataSet::findRow(const QString& field, const QVariant& v) const {
    const int f = fieldIndex(field);
    if (f < 0) throw DatabaseError(QStringLiteral("Поле «%1» не найдено").arg(field));
    if (isCalculated(f)) {
        for (int p = 0; p < d->count(); ++p)
            if (value(p, f) == v) return p;
        return -1;
    }
    QVariant wanted;
    try {
        wanted = d->rows.columns[f]->convert(v, d->fields[f].name);
    } catch (const DatabaseError&) {
        return -1;  // a value the field cannot hold matches no row
    }
    const Column& c = *d->rows.columns[f];
    for (int p = 0; p < d->count(); ++p) {
        if (p == d->cur && d->editing()) {
            if (d->buffer[f] == wanted && d->buffer[f].isNull() == wanted.isNull()) return p;
        } else if (c.equals(size_t(d->order[p]), wanted)) {
            return p;
        }
    }
    return -1;
}

bool ClientDataSet::locate(const QString& field, const QVariant& v) {
    requireOpen(*this);
    leaveRecord(*this);
    const int row = findRow(field, v);
    if (row < 0) return false;
    setRecNo(row + 1);
    return true;
}

int ClientDataSet::changeCount() const { return int(d->changes.size()); }

void ClientDataSet::applyUpdates(bool readBackDefaults) {
    requireOpen(*this);
    leaveRecord(*this);
    if (d->changes.empty()) return;
    d->describeTable();
    if (d->describedTable.isEmpty())
        throw DatabaseError(QStringLiteral("Не известна таблица, в которую сохранять изменения:\n") + d->commandText);

    QStringList columns;
    std::vector<int> keys;
    int autoKey = -1;
    for (size_t i = 0; i < d->tableColumns.size(); ++i) {
        const int f = d->tableColumns[i];
        columns << d->fields[f].name;
        if (std::find(d->keyColumns.begin(), d->keyColumns.end(), f) != d->keyColumns.end()) keys.push_back(int(i));
        if (d->fields[f].autoValue) autoKey = int(i);
    }
    if (keys.size() != d->keyColumns.size()) keys.clear();
    const UpdateStatements statements(d->describedTable, columns, keys);
    auto tableValues = [&](const QVariantList& row) {
        QVariantList v;
        v.reserve(int(d->tableColumns.size()));
        for (int f : d->tableColumns) v << row[f];
        return v;
    };

    QHash<QString, QSqlQuery> prepared;
    auto run = [&](const Statement& s) -> QSqlQuery& {
        auto it = prepared.find(s.sql);
        if (it == prepared.end()) {
            QSqlQuery q(connection());
            if (!q.prepare(s.sql)) throw DatabaseError(q.lastError().text() + QStringLiteral("\n\n") + s.sql);
            it = prepared.insert(s.sql, q);
        }
        for (int i = 0; i < s.binds.size(); ++i) it->bindValue(i, s.binds[i]);
        if (!it->exec()) throw DatabaseError(it->lastError().text() + QStringLiteral("\n\n") + s.sql);
        return *it;
    };
    auto missing = [&](const QVariantList& original) {
        QSqlQuery& q = run(statements.exists(original));
        const bool gone = !q.next() || q.value(0).toLongLong() == 0;
        q.finish();
        if (gone)
            throw DatabaseError(QStringLiteral("Запись не найдена или изменена другим пользователем (таблица %1)")
                                    .arg(d->describedTable));
    };

    std::vector<std::pair<int, QVariant>> assignedKeys;
    std::vector<std::pair<int, QVariantList>> reread;  // inserted rows as stored, in table column order

    // Inserts in a row that name the same columns go out together, as one bulk execution: an import of
    // thousands of rows costs a few round trips, not one each.
    constexpr size_t kRowsPerInsert = 2000;
    std::vector<int> groupStorage;
    std::vector<QVariantList> groupValues;
    std::vector<QVariantList> groupBinds;
    QString groupSql;
    auto readBack = [&](const std::vector<int>& storages, const std::vector<QVariantList>& rows) {
        // Columns left empty took the table's defaults (a journal row's moment, a switch's 0): read them
        // back so the records show what was stored.
        if (statements.keyless() || !readBackDefaults) return;
        if (keys.size() != 1) {
            for (size_t r = 0; r < rows.size(); ++r) {
                QSqlQuery& stored = run(statements.reread(rows[r]));
                if (stored.next()) {
                    QVariantList row;
                    for (int i = 0; i < rows[r].size(); ++i) row << stored.value(i);
                    reread.emplace_back(storages[r], row);
                }
                stored.finish();
            }
            return;
        }
        QHash<QString, int> storageByKey;
        for (size_t r = 0; r < rows.size(); ++r) storageByKey.insert(rows[r][keys.front()].toString(), storages[r]);
        QSqlQuery& stored = run(statements.rereadRows(rows));
        while (stored.next()) {
            QVariantList row;
            for (int i = 0; i < int(columns.size()); ++i) row << stored.value(i + 1);
            const auto at = storageByKey.constFind(stored.value(0).toString());
            if (at != storageByKey.constEnd()) reread.emplace_back(*at, row);
        }
        stored.finish();
    };
    auto sendGroup = [&]() {
        if (groupValues.empty()) return;
        execInsertRows(groupSql, groupBinds);
        const bool leftEmpty = std::any_of(groupValues.front().begin(), groupValues.front().end(),
                                           [](const QVariant& v) { return v.isNull(); });
        if (leftEmpty) readBack(groupStorage, groupValues);
        groupStorage.clear();
        groupValues.clear();
        groupBinds.clear();
        groupSql.clear();
    };

    Transaction transaction;
    std::unordered_set<int> done;
    for (int storage : d->changeOrder) {
        const auto it = d->changes.find(storage);
        if (it == d->changes.end() || !done.insert(storage).second) continue;
        if (it->second != Change::Inserted) sendGroup();
        switch (it->second) {
        case Change::Inserted: {
            QVariantList values = tableValues(d->readRow(storage));
            if (autoKey >= 0 && values[autoKey].isNull()) {
                // The key the table assigns is known only one row at a time.
                sendGroup();
                QSqlQuery& q = run(statements.insert(values));
                values[autoKey] = q.lastInsertId();
                assignedKeys.emplace_back(storage, values[autoKey]);
                const bool leftEmpty =
                    std::any_of(values.begin(), values.end(), [](const QVariant& v) { return v.isNull(); });
                if (leftEmpty) readBack({storage}, {values});
                break;
            }
            Statement insert = statements.insert(values);
            if (insert.sql != groupSql || groupValues.size() >= kRowsPerInsert) sendGroup();
            groupSql = insert.sql;
            groupStorage.push_back(storage);
            groupValues.push_back(std::move(values));
            groupBinds.push_back(std::move(insert.binds));
            break;
        }
        case Change::Modified: {
            const QVariantList original = tableValues(d->originals[storage]);
            const Statement s = statements.update(original, tableValues(d->readRow(storage)));
            if (s.sql.isEmpty()) break;
            if (run(s).numRowsAffected() == 0) missing(original);
            break;
        }
        case Change::Deleted: {
            const QVariantList original = tableValues(d->originals[storage]);
            // A row gone by its key is what was wanted; without a key, no match means someone changed it.
            if (run(statements.remove(original)).numRowsAffected() == 0 && statements.keyless()) missing(original);
            break;
        }
        }
    }
    sendGroup();
    transaction.commit();

    for (const auto& [storage, key] : assignedKeys)
        d->rows.columns[d->tableColumns[autoKey]]->set(size_t(storage), key);
    for (const auto& [storage, row] : reread) {
        for (size_t i = 0; i < d->tableColumns.size(); ++i) {
            Column& c = *d->rows.columns[d->tableColumns[i]];
            try {
                c.set(size_t(storage), c.convert(row[int(i)], d->fields[d->tableColumns[i]].name));
            } catch (const DatabaseError&) {
                // Stored, only not shown: the next refresh brings it.
            }
        }
    }
    d->changes.clear();
    d->changeOrder.clear();
    d->originals.clear();
    d->baseOrder = d->order;
    std::vector<int> positionOf;
    if (!assignedKeys.empty() || !reread.empty()) {
        positionOf.assign(d->rows.count, -1);
        for (size_t p = 0; p < d->order.size(); ++p) positionOf[size_t(d->order[p])] = int(p);
    }
    auto shown = [&](int storage) {
        if (positionOf[size_t(storage)] >= 0) emit rowChanged(positionOf[size_t(storage)]);
    };
    for (const auto& changed : assignedKeys) shown(changed.first);
    for (const auto& changed : reread) shown(changed.first);
}

void ClientDataSet::cancelUpdates() {
    requireOpen(*this);
    if (d->editing()) cancel();
    if (d->changes.empty()) return;
    for (const auto& [storage, kind] : d->changes)
        if (kind != Change::Inserted) d->writeRow(storage, d->originals[storage]);
    d->order = d->baseOrder;
    d->changes.clear();
    d->changeOrder.clear();
    d->originals.clear();
    d->cur = std::min(std::max(d->cur, 0), d->count() - 1);
    d->eof = d->count() == 0;
    emit reset();
    emit currentChanged(d->cur);
}

void ClientDataSet::pauseViews() {
    if (d->viewsPaused++ == 0) d->signalsWereBlocked = blockSignals(true);
}

void ClientDataSet::resumeViews() {
    if (d->viewsPaused == 0 || --d->viewsPaused > 0) return;
    blockSignals(d->signalsWereBlocked);
    if (d->signalsWereBlocked) return;
    emit reset();
    emit stateChanged();
    emit currentChanged(d->cur);
}

void ClientDataSet::addCalculatedField(const QString& name, Calculation f) {
    d->calculations.emplace_back(name, f);
    if (isOpen()) {
        d->fields.push_back({name, QMetaType(), false, std::move(f), 0});
        if (!d->index.contains(name.toLower())) {
            d->index.insert(name.toLower(), int(d->fields.size()) - 1);
            d->exactIndex.insert(name, int(d->fields.size()) - 1);
        }
        emit reset();
    }
}

}  // namespace kavrin
