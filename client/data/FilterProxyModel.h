#pragma once
// Sorting and the grid's view filter: conditions joined with AND, where a group may join its own with OR.
// The rows behind the filter stay in the dataset; only the view hides them.
#include <QHash>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QVariant>
#include <QVector>

namespace kavrin {

enum class FilterOperator { Equal, NotEqual, Like, Less, Greater, LessOrEqual, GreaterOrEqual };

struct FilterCondition {
    FilterCondition() = default;
    FilterCondition(QString field, FilterOperator op, QVariant value, QString displayText = {})
        : field(std::move(field)), op(op), value(std::move(value)), displayText(std::move(displayText)) {}

    QString field;  // dataset field of a model column
    FilterOperator op = FilterOperator::Equal;
    QVariant value;  // Like: "%" matches any run of characters, "_" one character; no wildcards = whole value
    QString displayText;
};

struct FilterGroup {
    FilterGroup() = default;
    FilterGroup(bool orJoined, QVector<FilterCondition> conditions, QVector<FilterGroup> groups = {})
        : orJoined(orJoined), conditions(std::move(conditions)), groups(std::move(groups)) {}

    bool orJoined = false;  // false: all conditions must hold; true: any of them
    QVector<FilterCondition> conditions;
    QVector<FilterGroup> groups;
    bool isEmpty() const { return conditions.isEmpty() && groups.isEmpty(); }
};

class FilterProxyModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FilterProxyModel(QObject* parent = nullptr);

    void setFilter(const FilterGroup& root);  // activates it
    const FilterGroup& filter() const { return filter_; }
    void clearFilter();                       // deactivates it (all rows shown)
    bool isFilterActive() const { return active_; }
    QStringList filterTexts() const;          // display texts of the active conditions

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    void refilter();
    bool matches(int sourceRow, const FilterGroup& g) const;
    bool matches(int sourceRow, const FilterCondition& c) const;

    FilterGroup filter_;
    bool active_ = false;
    struct LikePattern {
        enum Kind { Whole, Prefix, Suffix, Contains, Expression } kind = Whole;
        QString text;  // without its leading/trailing "%"
        QRegularExpression expression;
        bool matches(const QString& s) const;
    };
    static LikePattern compile(const QString& pattern);
    mutable QHash<QString, LikePattern> patterns_;  // like patterns, compiled once per filter
};

}  // namespace kavrin
