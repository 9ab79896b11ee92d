#include "io/SubscriberFilter.h"

#include "data/Sql.h"
#include "io/ImportText.h"

#include <QLocale>

namespace kavrin {

namespace {

QString quoted(const QString& s) { return u'"' + s + u'"'; }

// Wildcards typed by the user are taken literally.
QString escapeLike(const QString& text) {
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
    return escaped;
}

void addContains(FilterGroup& g, const QString& field, const QString& text) {
    if (text.isEmpty()) return;
    g.conditions.push_back({field, FilterOperator::Like, u'%' + text + u'%', quoted(text)});
}

// A condition no row meets: street numbers are never negative.
FilterCondition nothingMatches(const QString& displayText) {
    return {QStringLiteral("N_Street"), FilterOperator::Equal, -1, displayText};
}

}  // namespace

std::vector<std::pair<int, QString>> streetsContaining(const QString& text) {
    QSqlQuery q = execSql(
        QStringLiteral("select Id, Name_Street from street where Name_Street LIKE ? order by Name_Street"),
        {u'%' + escapeLike(text) + u'%'});
    std::vector<std::pair<int, QString>> streets;
    while (q.next()) streets.emplace_back(q.value(0).toInt(), q.value(1).toString());
    return streets;
}

FilterGroup buildSubscriberFilter(const FilterBoxes& b) {
    FilterGroup root;
    if (!b.id.isEmpty()) {
        // A number no subscriber can have matches nothing; it is not an error.
        const auto id = parseInt32(b.id);
        root.conditions.push_back(id ? FilterCondition{QStringLiteral("Id"), FilterOperator::Equal, *id, quoted(b.id)}
                                     : nothingMatches(quoted(b.id)));
    }
    addContains(root, QStringLiteral("Name1"), b.name1);
    addContains(root, QStringLiteral("Name2"), b.name2);
    addContains(root, QStringLiteral("Name3"), b.name3);
    addContains(root, QStringLiteral("Dom"), b.dom);
    addContains(root, QStringLiteral("Drob"), b.drob);
    addContains(root, QStringLiteral("Kvartira"), b.kvartira);
    addContains(root, QStringLiteral("Tel"), b.tel);
    addContains(root, QStringLiteral("Mob"), b.mob);
    if (b.date.isValid())
        root.conditions.push_back({QStringLiteral("Data_Create"), FilterOperator::Equal, b.date,
                                   quoted(QLocale().toString(b.date, QLocale::ShortFormat))});
    if (b.lock != LockChoice::All) {
        const bool on = b.lock == LockChoice::On;
        root.conditions.push_back({QStringLiteral("lock"), FilterOperator::Equal, on ? 1 : 0,
                                   quoted(on ? QStringLiteral("вкл") : QStringLiteral("выкл"))});
    }
    if (!b.balance.isEmpty()) {
        // The balance column shows the kopecks as currency units, so 12,5 and 12,50 both stand for 1250
        // kopecks. An amount finer than a kopeck matches no balance.
        const QString decimals = b.balance.section(QLocale().decimalPoint(), 1);
        const auto kopecks = parseMoneyKopecks(b.balance);
        root.conditions.push_back(kopecks && decimals.size() <= 2
                                      ? FilterCondition{QStringLiteral("money"), FilterOperator::Equal, *kopecks,
                                                        quoted(b.balance)}
                                      : nothingMatches(quoted(b.balance)));
    }
    addContains(root, QStringLiteral("selected_paket"), b.comment);
    if (!b.street.isEmpty()) {
        const auto streets = streetsContaining(b.street);
        if (streets.empty()) {
            root.conditions.push_back(nothingMatches(quoted(b.street)));
        } else {
            FilterGroup anyStreet;
            anyStreet.orJoined = true;
            for (const auto& [id, name] : streets)
                anyStreet.conditions.push_back({QStringLiteral("N_Street"), FilterOperator::Equal, id, quoted(name)});
            root.groups.push_back(anyStreet);
        }
    }
    return root;
}

QString filterSummary(const FilterGroup& filter) {
    QStringList parts;
    for (const FilterCondition& c : filter.conditions) parts << c.displayText;
    for (const FilterGroup& g : filter.groups) {
        const QString inner = filterSummary(g);
        if (!inner.isEmpty()) parts << (g.conditions.size() + g.groups.size() > 1 ? u'(' + inner + u')' : inner);
    }
    return parts.join(filter.orJoined ? QStringLiteral(" или ") : QStringLiteral(" и "));
}

}  // namespace kavrin
