#include "data/ColumnStore.h"

#include "data/Sql.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>
#include <QTime>
#include <charconv>
#include <limits>

namespace kavrin {

namespace {

QString conversionError(const QVariant& v, const QString& field, const char* kind) {
    return QStringLiteral("«%1» не является допустимым значением (%2) для поля %3")
        .arg(v.toString(), QLatin1String(kind), field);
}

// Reads a number typed by a user or given by code: native numbers as they are, text in the locale's form or
// in the C form.
template <typename T>
bool toNumber(const QVariant& v, T& out) {
    bool ok = false;
    if (v.metaType().id() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if constexpr (std::is_floating_point_v<T>) {
            out = QLocale().toDouble(s, &ok);
            if (!ok) out = s.toDouble(&ok);
        } else if constexpr (std::is_signed_v<T>) {
            out = T(QLocale().toLongLong(s, &ok));
            if (!ok) out = T(s.toLongLong(&ok));
        } else {
            out = T(QLocale().toULongLong(s, &ok));
            if (!ok) out = T(s.toULongLong(&ok));
        }
        return ok;
    }
    if (v.metaType().id() == QMetaType::Bool) {
        out = v.toBool() ? 1 : 0;
        return true;
    }
    if constexpr (std::is_floating_point_v<T>) {
        out = v.toDouble(&ok);
    } else if constexpr (std::is_signed_v<T>) {
        // A whole-valued double (e.g. from a spin box) is accepted; a fractional one is not.
        if (v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float) {
            const double d = v.toDouble();
            if (d != double(qint64(d))) return false;
        }
        out = T(v.toLongLong(&ok));
    } else {
        if (v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float) {
            const double d = v.toDouble();
            if (d < 0 || d != double(quint64(d))) return false;
        }
        // Negative values must not wrap into huge unsigned ones.
        bool signedOk = false;
        const qint64 s = v.toLongLong(&signedOk);
        if (signedOk && s < 0) return false;
        out = T(v.toULongLong(&ok));
    }
    return ok;
}

int digits(const char* p, size_t n) {
    int v = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// "YYYY-MM-DD"
QDate parseDate(const char* p, size_t n) {
    if (n < 10 || p[4] != '-' || p[7] != '-') return {};
    return QDate(digits(p, 4), digits(p + 5, 2), digits(p + 8, 2));
}

// "HH:MM:SS" with an optional fraction; a duration beyond one day is no time of day.
QTime parseTime(const char* p, size_t n) {
    if (n < 8 || p[2] != ':' || p[5] != ':') return {};
    int ms = 0;
    if (n > 9 && p[8] == '.') {
        const size_t k = std::min<size_t>(n - 9, 3);
        ms = digits(p + 9, k);
        for (size_t i = k; i < 3; ++i) ms *= 10;
    }
    return QTime(digits(p, 2), digits(p + 3, 2), digits(p + 6, 2), ms);
}

// Integers: stored as S (the narrowest holding the database type), given out as G, accepted in [lo, hi].
template <typename S, typename G>
class IntegerColumn : public Column {
    using Bound = std::conditional_t<std::is_signed_v<S>, qint64, quint64>;

public:
    IntegerColumn(QMetaType given, Bound lo, Bound hi) : Column(given), lo_(lo), hi_(hi) {}
    void reserve(size_t rows) override {
        data_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        if (v.isNull()) return appendNull();
        data_.push_back(S(fetch(v)));
        nulls_.push_back(false);
    }
    void appendText(const char* p, size_t n) override {
        Bound value{};
        const auto r = std::from_chars(p, p + n, value);
        if (r.ec != std::errc()) return Column::appendText(p, n);
        data_.push_back(S(value));
        nulls_.push_back(false);
    }
    QVariant convert(const QVariant& v, const QString& field) const override {
        if (v.isNull() || (v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty()))
            return QVariant(type_);
        if constexpr (std::is_signed_v<S>) {
            qint64 n = 0;
            if (!toNumber(v, n) || n < lo_ || n > hi_) throw DatabaseError(conversionError(v, field, "целое число"));
            return QVariant::fromValue(G(n));
        } else {
            quint64 n = 0;
            if (!toNumber(v, n) || n < lo_ || n > hi_)
                throw DatabaseError(conversionError(v, field, "целое число"));
            return QVariant::fromValue(G(n));
        }
    }

protected:
    static Bound fetch(const QVariant& v) {
        // The driver gives each integer in its own type; read it without a conversion where possible.
        switch (v.metaType().id()) {
        case QMetaType::Int: return Bound(*static_cast<const int*>(v.constData()));
        case QMetaType::UInt: return Bound(*static_cast<const uint*>(v.constData()));
        case QMetaType::LongLong: return Bound(*static_cast<const qlonglong*>(v.constData()));
        case QMetaType::ULongLong: return Bound(*static_cast<const qulonglong*>(v.constData()));
        default:
            if constexpr (std::is_signed_v<S>) return Bound(v.toLongLong());
            else return Bound(v.toULongLong());
        }
    }
    QVariant valueAt(size_t row) const override { return QVariant::fromValue(G(data_[row])); }
    void store(size_t row, const QVariant& v) override { data_[row] = S(v.value<G>()); }
    void pushDefault() override { data_.push_back(S{}); }
    bool equalsValue(size_t row, const QVariant& v) const override {
        if constexpr (std::is_signed_v<S>) {
            bool ok = false;
            const qint64 n = v.toLongLong(&ok);
            return ok && n == qint64(data_[row]);
        } else {
            bool ok = false;
            const quint64 n = v.toULongLong(&ok);
            return ok && n == quint64(data_[row]);
        }
    }

private:
    std::vector<S> data_;
    Bound lo_, hi_;
};

class DoubleColumn : public Column {
public:
    DoubleColumn() : Column(QMetaType::fromType<double>()) {}
    void reserve(size_t rows) override {
        data_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        if (v.isNull()) return appendNull();
        data_.push_back(v.toDouble());
        nulls_.push_back(false);
    }
    void appendText(const char* p, size_t n) override {
        double value = 0;
        const auto r = std::from_chars(p, p + n, value);
        if (r.ec != std::errc()) return Column::appendText(p, n);
        data_.push_back(value);
        nulls_.push_back(false);
    }
    QVariant convert(const QVariant& v, const QString& field) const override {
        if (v.isNull() || (v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty()))
            return QVariant(type_);
        double d = 0;
        if (!toNumber(v, d)) throw DatabaseError(conversionError(v, field, "число"));
        return d;
    }

protected:
    QVariant valueAt(size_t row) const override { return data_[row]; }
    void store(size_t row, const QVariant& v) override { data_[row] = v.toDouble(); }
    void pushDefault() override { data_.push_back(0); }
    bool equalsValue(size_t row, const QVariant& v) const override {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok && d == data_[row];
    }

private:
    std::vector<double> data_;
};

// Texts share one character pool per column; a cell is an offset and a length. An edited cell gets new
// characters at the end of the pool (the old ones stay until the next open).
class TextColumn : public Column {
public:
    TextColumn() : Column(QMetaType::fromType<QString>()) {}
    void reserve(size_t rows) override {
        cells_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        if (v.isNull()) return appendNull();
        if (v.metaType().id() == QMetaType::QString) cells_.push_back(intern(*static_cast<const QString*>(v.constData())));
        else cells_.push_back(intern(v.toString()));
        nulls_.push_back(false);
    }
    void appendText(const char* p, size_t n) override {
        // Decoded straight into the pool: no QString per cell.
        const size_t start = pool_.size();
        pool_.resize(start + n);  // UTF-16 never needs more units than UTF-8 has bytes
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QChar* end = utf8.appendToBuffer(pool_.data() + start, QByteArrayView(p, qsizetype(n)));
        pool_.resize(size_t(end - pool_.data()));
        cells_.push_back({quint32(start), quint32(pool_.size() - start)});
        nulls_.push_back(false);
    }
    QVariant convert(const QVariant& v, const QString&) const override {
        if (v.isNull()) return QVariant(type_);
        if (v.metaType().id() == QMetaType::QDate) return QLocale().toString(v.toDate(), QLocale::ShortFormat);
        return v.toString();
    }
    QStringView view(size_t row) const {
        const Cell& c = cells_[row];
        return QStringView(pool_.data() + c.offset, qsizetype(c.length));
    }

protected:
    QVariant valueAt(size_t row) const override { return view(row).toString(); }
    void store(size_t row, const QVariant& v) override { cells_[row] = intern(v.toString()); }
    void pushDefault() override { cells_.push_back({}); }
    bool equalsValue(size_t row, const QVariant& v) const override {
        return view(row) == (v.metaType().id() == QMetaType::QString ? *static_cast<const QString*>(v.constData())
                                                                     : v.toString());
    }

private:
    struct Cell {
        quint32 offset = 0;  // 4 G characters per column is beyond any register
        quint32 length = 0;
    };
    Cell intern(const QString& s) {
        Cell c{quint32(pool_.size()), quint32(s.size())};
        pool_.insert(pool_.end(), s.constData(), s.constData() + s.size());
        return c;
    }
    std::vector<QChar> pool_;
    std::vector<Cell> cells_;
};

class DateColumn : public Column {
public:
    DateColumn() : Column(QMetaType::fromType<QDate>()) {}
    void reserve(size_t rows) override {
        days_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        const QDate d = v.toDate();
        if (v.isNull() || !d.isValid()) return appendNull();
        days_.push_back(qint32(d.toJulianDay()));
        nulls_.push_back(false);
    }
    QVariant convert(const QVariant& v, const QString& field) const override {
        if (v.isNull()) return QVariant(type_);
        QDate d;
        if (v.metaType().id() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return QVariant(type_);
            d = QLocale().toDate(s, QLocale::ShortFormat);
            if (!d.isValid()) d = QLocale().toDate(s, QStringLiteral("dd.MM.yyyy"));
            if (!d.isValid()) d = QDate::fromString(s, Qt::ISODate);
        } else {
            d = v.toDate();
        }
        if (!d.isValid()) throw DatabaseError(conversionError(v, field, "дата"));
        return d;
    }

protected:
    void appendText(const char* p, size_t n) override {
        const QDate d = parseDate(p, n);
        if (!d.isValid()) return appendNull();  // includes the zero date 0000-00-00
        days_.push_back(qint32(d.toJulianDay()));
        nulls_.push_back(false);
    }
    QVariant valueAt(size_t row) const override { return QDate::fromJulianDay(days_[row]); }
    void store(size_t row, const QVariant& v) override { days_[row] = qint32(v.toDate().toJulianDay()); }
    void pushDefault() override { days_.push_back(0); }
    bool equalsValue(size_t row, const QVariant& v) const override { return v.toDate() == valueAt(row).toDate(); }

private:
    std::vector<qint32> days_;
};

class TimeColumn : public Column {
public:
    TimeColumn() : Column(QMetaType::fromType<QTime>()) {}
    void reserve(size_t rows) override {
        msecs_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        const QTime t = v.toTime();
        if (v.isNull() || !t.isValid()) return appendNull();
        msecs_.push_back(t.msecsSinceStartOfDay());
        nulls_.push_back(false);
    }
    QVariant convert(const QVariant& v, const QString& field) const override {
        if (v.isNull()) return QVariant(type_);
        QTime t = v.metaType().id() == QMetaType::QString ? QTime::fromString(v.toString().trimmed(), Qt::ISODate)
                                                          : v.toTime();
        if (!t.isValid()) throw DatabaseError(conversionError(v, field, "время"));
        return t;
    }

protected:
    void appendText(const char* p, size_t n) override {
        const QTime t = parseTime(p, n);
        if (!t.isValid()) return appendNull();
        msecs_.push_back(t.msecsSinceStartOfDay());
        nulls_.push_back(false);
    }
    QVariant valueAt(size_t row) const override { return QTime::fromMSecsSinceStartOfDay(msecs_[row]); }
    void store(size_t row, const QVariant& v) override { msecs_[row] = v.toTime().msecsSinceStartOfDay(); }
    void pushDefault() override { msecs_.push_back(0); }

private:
    std::vector<qint32> msecs_;
};

// Date and time of day kept apart, so a wall-clock value comes back exactly as stored (no time-zone trip).
class DateTimeColumn : public Column {
public:
    DateTimeColumn() : Column(QMetaType::fromType<QDateTime>()) {}
    void reserve(size_t rows) override {
        data_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        const QDateTime dt = v.toDateTime();
        if (v.isNull() || !dt.isValid()) return appendNull();
        data_.push_back(pack(dt));
        nulls_.push_back(false);
    }
    QVariant convert(const QVariant& v, const QString& field) const override {
        if (v.isNull()) return QVariant(type_);
        QDateTime dt;
        if (v.metaType().id() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty()) return QVariant(type_);
            dt = QLocale().toDateTime(s, QLocale::ShortFormat);
            if (!dt.isValid()) dt = QDateTime::fromString(s, Qt::ISODate);
        } else if (v.metaType().id() == QMetaType::QDate) {
            dt = v.toDate().startOfDay();
        } else {
            dt = v.toDateTime();
        }
        if (!dt.isValid()) throw DatabaseError(conversionError(v, field, "дата и время"));
        return dt;
    }

protected:
    void appendText(const char* p, size_t n) override {
        const QDate d = n >= 10 ? parseDate(p, 10) : QDate();
        const QTime t = n > 11 ? parseTime(p + 11, n - 11) : QTime(0, 0);
        if (!d.isValid() || !t.isValid()) return appendNull();
        data_.push_back(d.toJulianDay() * 86400000LL + t.msecsSinceStartOfDay());
        nulls_.push_back(false);
    }
    static qint64 pack(const QDateTime& dt) {
        return dt.date().toJulianDay() * 86400000LL + dt.time().msecsSinceStartOfDay();
    }
    QVariant valueAt(size_t row) const override {
        const qint64 p = data_[row];
        return QDateTime(QDate::fromJulianDay(p / 86400000LL), QTime::fromMSecsSinceStartOfDay(int(p % 86400000LL)));
    }
    void store(size_t row, const QVariant& v) override { data_[row] = pack(v.toDateTime()); }
    void pushDefault() override { data_.push_back(0); }
    bool equalsValue(size_t row, const QVariant& v) const override {
        const QDateTime dt = v.toDateTime();
        return dt.isValid() && pack(dt) == data_[row];
    }

private:
    std::vector<qint64> data_;
};

// Anything else (binary, bit fields...) as the driver gives it.
class VariantColumn : public Column {
public:
    explicit VariantColumn(QMetaType type) : Column(type) {}
    void reserve(size_t rows) override {
        data_.reserve(rows);
        nulls_.reserve(rows);
    }
    void appendFetched(const QVariant& v) override {
        data_.push_back(v);
        nulls_.push_back(v.isNull());
    }

protected:
    QVariant valueAt(size_t row) const override { return data_[row]; }
    void store(size_t row, const QVariant& v) override { data_[row] = v; }
    void pushDefault() override { data_.emplace_back(); }

private:
    std::vector<QVariant> data_;
};

}  // namespace

void Column::appendText(const char* data, size_t length) {
    QVariant v(QString::fromUtf8(data, qsizetype(length)));
    if (type_.id() == QMetaType::QByteArray) v = QByteArray(data, qsizetype(length));
    else if (v.canConvert(type_)) v.convert(type_);
    appendFetched(v);
}

void Column::appendNull() {
    pushDefault();
    nulls_.push_back(true);
}

void Column::set(size_t row, const QVariant& v) {
    if (v.isNull()) {
        nulls_[row] = true;
        return;
    }
    store(row, v);
    nulls_[row] = false;
}

QVariant Column::convert(const QVariant& v, const QString&) const {
    if (v.isNull()) return QVariant(type_);
    QVariant c = v;
    if (c.metaType() != type_ && c.canConvert(type_)) c.convert(type_);
    return c;
}

bool Column::equals(size_t row, const QVariant& v) const {
    if (v.isNull() || nulls_[row]) return v.isNull() && nulls_[row];
    return equalsValue(row, v);
}

std::unique_ptr<Column> makeColumn(QMetaType t) {
    const QMetaType intType = QMetaType::fromType<int>();
    switch (t.id()) {
    case QMetaType::Char:
    case QMetaType::SChar: return std::make_unique<IntegerColumn<qint8, int>>(intType, -128, 127);
    case QMetaType::UChar: return std::make_unique<IntegerColumn<quint8, int>>(intType, 0, 255);
    case QMetaType::Short: return std::make_unique<IntegerColumn<qint16, int>>(intType, -32768, 32767);
    case QMetaType::UShort: return std::make_unique<IntegerColumn<quint16, int>>(intType, 0, 65535);
    case QMetaType::Int:
        return std::make_unique<IntegerColumn<qint32, int>>(intType, std::numeric_limits<qint32>::min(),
                                                            std::numeric_limits<qint32>::max());
    case QMetaType::UInt:
        return std::make_unique<IntegerColumn<quint32, uint>>(QMetaType::fromType<uint>(), 0,
                                                              std::numeric_limits<quint32>::max());
    case QMetaType::Long:
    case QMetaType::LongLong:
        return std::make_unique<IntegerColumn<qint64, qlonglong>>(QMetaType::fromType<qlonglong>(),
                                                                  std::numeric_limits<qint64>::min(),
                                                                  std::numeric_limits<qint64>::max());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return std::make_unique<IntegerColumn<quint64, qulonglong>>(QMetaType::fromType<qulonglong>(), 0,
                                                                    std::numeric_limits<quint64>::max());
    case QMetaType::Float:
    case QMetaType::Double: return std::make_unique<DoubleColumn>();
    case QMetaType::QString: return std::make_unique<TextColumn>();
    case QMetaType::QDate: return std::make_unique<DateColumn>();
    case QMetaType::QTime: return std::make_unique<TimeColumn>();
    case QMetaType::QDateTime: return std::make_unique<DateTimeColumn>();
    default: return std::make_unique<VariantColumn>(t);
    }
}

}  // namespace kavrin
