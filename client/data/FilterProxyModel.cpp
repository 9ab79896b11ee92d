#include "data/FilterProxyModel.h"

#include "data/DataSetModel.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <optional>

namespace kavrin {

namespace {

bool isNumeric(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::SChar:
    case QMetaType::UChar: case QMetaType::Long: case QMetaType::ULong: case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}

// Numbers given as numbers, or text in the locale's form (12,5) or the C form (12.5).
std::optional<double> asNumber(const QVariant& v) {
    if (isNumeric(v)) return v.toDouble();
    if (v.metaType().id() != QMetaType::QString) return std::nullopt;
    const QString s = v.toString().trimmed();
    bool ok = false;
    double d = QLocale().toDouble(s, &ok);
    if (!ok) d = s.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

std::optional<QDate> asDate(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QDate) return v.toDate();
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime().date();
    if (v.metaType().id() != QMetaType::QString) return std::nullopt;
    const QString s = v.toString().trimmed();
    QDate d = QLocale().toDate(s, QLocale::ShortFormat);
    if (!d.isValid()) d = QDate::fromString(s, QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid()) d = QDate::fromString(s, Qt::ISODate);
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

// The text a cell shows, for like and text comparisons.
QString asText(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::QDate: return QLocale().toString(v.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime: return QLocale().toString(v.toDateTime(), QLocale::ShortFormat);
    case QMetaType::Double: return QLocale().toString(v.toDouble(), 'g', 15);
    default: return v.toString();
    }
}

// <0, 0, >0; nullopt when the two cannot be compared.
std::optional<int> compareValues(const QVariant& cell, const QVariant& value) {
    if (cell.metaType().id() == QMetaType::QDate || cell.metaType().id() == QMetaType::QDateTime) {
        const auto a = asDate(cell), b = asDate(value);
        if (!a || !b) return std::nullopt;
        return *a < *b ? -1 : (*a == *b ? 0 : 1);
    }
    if (isNumeric(cell) || isNumeric(value)) {
        const auto a = asNumber(cell), b = asNumber(value);
        if (a && b) return *a < *b ? -1 : (*a == *b ? 0 : 1);
        if (isNumeric(cell) && isNumeric(value)) return std::nullopt;
    }
    // Two texts that both read as numbers compare as numbers ("12,5" equals 12.5).
    if (const auto a = asNumber(cell), b = asNumber(value); a && b) return *a < *b ? -1 : (*a == *b ? 0 : 1);
    return QString::compare(asText(cell), asText(value), Qt::CaseInsensitive);
}

QRegularExpression likePattern(const QString& pattern) {
    QString rx;
    for (const QChar ch : pattern) {
        if (ch == QLatin1Char('%')) rx += QStringLiteral(".*");
        else if (ch == QLatin1Char('_')) rx += QLatin1Char('.');
        else rx += QRegularExpression::escape(QString(ch));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(rx),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
                                  QRegularExpression::UseUnicodePropertiesOption);
}

void collectTexts(const FilterGroup& g, QStringList& out) {
    for (const FilterCondition& c : g.conditions) out << c.displayText;
    for (const FilterGroup& sub : g.groups) collectTexts(sub, out);
}

}  // namespace

FilterProxyModel::FilterProxyModel(QObject* parent) : QSortFilterProxyModel(parent) {}

void FilterProxyModel::setFilter(const FilterGroup& root) {
    filter_ = root;
    active_ = true;
    patterns_.clear();
    refilter();
}

void FilterProxyModel::clearFilter() {
    filter_ = {};
    active_ = false;
    patterns_.clear();
    refilter();
}

void FilterProxyModel::refilter() {
    // A full rebuild of the mapping: removing tens of thousands of scattered rows one interval at a time
    // from a sorted mapping costs seconds on a register of 100,000 rows.
    invalidate();
}

QStringList FilterProxyModel::filterTexts() const {
    QStringList texts;
    if (active_) collectTexts(filter_, texts);
    return texts;
}

bool FilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return !active_ || matches(sourceRow, filter_);
}

bool FilterProxyModel::matches(int sourceRow, const FilterGroup& g) const {
    if (g.isEmpty()) return true;
    for (const FilterCondition& c : g.conditions) {
        const bool m = matches(sourceRow, c);
        if (g.orJoined && m) return true;
        if (!g.orJoined && !m) return false;
    }
    for (const FilterGroup& sub : g.groups) {
        const bool m = matches(sourceRow, sub);
        if (g.orJoined && m) return true;
        if (!g.orJoined && !m) return false;
    }
    return !g.orJoined;
}

bool FilterProxyModel::matches(int sourceRow, const FilterCondition& c) const {
    const auto* model = qobject_cast<const DataSetModel*>(sourceModel());
    if (!model) return false;
    const ClientDataSet& ds = model->dataSet();
    const int field = ds.fieldIndex(c.field);
    if (field < 0) return false;
    const QVariant cell = ds.value(sourceRow, field);
    if (cell.isNull() || c.value.isNull()) {
        const bool bothNull = cell.isNull() && c.value.isNull();
        return c.op == FilterOperator::Equal ? bothNull : (c.op == FilterOperator::NotEqual ? !bothNull : false);
    }
    if (c.op == FilterOperator::Like) {
        const QString pattern = c.value.toString();
        auto it = patterns_.find(pattern);
        if (it == patterns_.end()) it = patterns_.insert(pattern, compile(pattern));
        return it->matches(asText(cell));
    }
    const auto order = compareValues(cell, c.value);
    switch (c.op) {
    case FilterOperator::Equal: return order && *order == 0;
    case FilterOperator::NotEqual: return !order || *order != 0;
    case FilterOperator::Less: return order && *order < 0;
    case FilterOperator::Greater: return order && *order > 0;
    case FilterOperator::LessOrEqual: return order && *order <= 0;
    case FilterOperator::GreaterOrEqual: return order && *order >= 0;
    case FilterOperator::Like: break;
    }
    return false;
}

FilterProxyModel::LikePattern FilterProxyModel::compile(const QString& pattern) {
    // The filter row's patterns are "%text%": those, and a leading or trailing "%" alone, need no expression.
    LikePattern p;
    const bool starts = pattern.startsWith(QLatin1Char('%')), ends = pattern.endsWith(QLatin1Char('%'));
    QString inner = pattern.mid(starts ? 1 : 0);
    if (ends && !inner.isEmpty()) inner.chop(1);
    if (inner.contains(QLatin1Char('%')) || inner.contains(QLatin1Char('_')) || (starts && ends && pattern.size() < 2)) {
        p.kind = LikePattern::Expression;
        p.expression = likePattern(pattern);
        return p;
    }
    p.text = inner;
    p.kind = starts && ends ? LikePattern::Contains
             : starts        ? LikePattern::Suffix
             : ends          ? LikePattern::Prefix
                             : LikePattern::Whole;
    return p;
}

bool FilterProxyModel::LikePattern::matches(const QString& s) const {
    switch (kind) {
    case Whole: return s.compare(text, Qt::CaseInsensitive) == 0;
    case Prefix: return s.startsWith(text, Qt::CaseInsensitive);
    case Suffix: return s.endsWith(text, Qt::CaseInsensitive);
    case Contains: return s.contains(text, Qt::CaseInsensitive);
    case Expression: return expression.match(s).hasMatch();
    }
    return false;
}

bool FilterProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(DataSetModel::ValueRole), b = right.data(DataSetModel::ValueRole);
    if (a.isNull() || b.isNull()) return a.isNull() && !b.isNull();
    if (isNumeric(a) && isNumeric(b)) {
        if (a.metaType().id() == QMetaType::Double || b.metaType().id() == QMetaType::Double)
            return a.toDouble() < b.toDouble();
        if (a.metaType().id() == QMetaType::ULongLong || b.metaType().id() == QMetaType::ULongLong)
            return a.toULongLong() < b.toULongLong();
        return a.toLongLong() < b.toLongLong();
    }
    if (a.metaType().id() == QMetaType::QDate) return a.toDate() < b.toDate();
    if (a.metaType().id() == QMetaType::QDateTime) return a.toDateTime() < b.toDateTime();
    if (a.metaType().id() == QMetaType::QTime) return a.toTime() < b.toTime();
    return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
}

}  // namespace kavrin
