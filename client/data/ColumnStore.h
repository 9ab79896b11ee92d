#pragma once
// Typed column storage of a dataset: one vector per field of the narrowest type that holds the field's values,
// plus a null mask, so a row costs a few bytes per field instead of a QVariant per cell.
#include <QMetaType>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace kavrin {

class Column {
public:
    explicit Column(QMetaType type) : type_(type) {}
    virtual ~Column() = default;

    // The type the field's values are given in (narrow integer types are widened to int).
    QMetaType type() const { return type_; }
    size_t size() const { return nulls_.size(); }
    bool isNull(size_t row) const { return nulls_[row]; }

    virtual void reserve(size_t rows) = 0;
    // Appends a fetched value, already of the field's database type (or null).
    virtual void appendFetched(const QVariant& v) = 0;
    // Appends a value as the server's text protocol sends it (UTF-8, not null).
    virtual void appendText(const char* data, size_t length);
    void appendNull();
    QVariant get(size_t row) const { return nulls_[row] ? QVariant(type_) : valueAt(row); }
    // Stores a value converted by convert(); a null QVariant stores null.
    void set(size_t row, const QVariant& v);
    // The value as this column holds it; throws DatabaseError when it does not convert or is out of range.
    virtual QVariant convert(const QVariant& v, const QString& fieldName) const;
    // Whether the cell holds exactly `v` (already converted; null matches null).
    bool equals(size_t row, const QVariant& v) const;

protected:
    virtual QVariant valueAt(size_t row) const = 0;
    virtual void store(size_t row, const QVariant& v) = 0;  // v is not null and already converted
    virtual void pushDefault() = 0;
    virtual bool equalsValue(size_t row, const QVariant& v) const { return valueAt(row) == v; }

    QMetaType type_;
    std::vector<bool> nulls_;
};

// Builds the column for a field of a query result.
std::unique_ptr<Column> makeColumn(QMetaType fetchedType);

}  // namespace kavrin
