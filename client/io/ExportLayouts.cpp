#include "io/ExportLayouts.h"

#include "common/MoneyText.h"

#include <QLocale>

namespace kavrin {

namespace {

std::function<QVariant(int)> field(const GridRows& rows, const QString& name) {
    return [rows, name](int r) { return rows.value(r, name); };
}

std::function<QVariant(int)> moneyTextOf(const GridRows& rows, const QString& name) {
    return [rows, name](int r) { return QVariant(money_text(rows.value(r, name))); };
}

std::function<QVariant(int)> lookupOf(const GridRows& rows, const QString& name, const LookupTexts& texts) {
    return [rows, name, texts](int r) {
        const QString t = lookupText(texts, rows.value(r, name));
        return t.isEmpty() ? QVariant() : QVariant(t);
    };
}

}  // namespace

QString lookupText(const LookupTexts& texts, const QVariant& v) {
    if (v.isNull() || !v.isValid()) return {};
    bool ok = false;
    const qint64 key = v.toLongLong(&ok);
    return ok ? texts.value(key) : QString();
}

QString journalDateTimeText(const QDateTime& at) {
    if (!at.isValid()) return {};
    const QLocale locale;
    return locale.toString(at.date(), QLocale::ShortFormat) + u' ' + at.time().toString(QStringLiteral("HH:mm:ss"));
}

ExportLayout subscriberListLayout(const GridRows& rows, const LookupTexts& streetNames) {
    ExportLayout l;
    l.sheetName = QStringLiteral("Книга 1");
    l.headerRow = 1;
    l.rowCount = rows.count;
    l.rowAlignment = HAlign::Left;
    l.columnAlignment = std::pair{13, HAlign::General};
    l.columns = {
        {QStringLiteral("ID"), 6, field(rows, QStringLiteral("Id"))},
        {QStringLiteral("Фамилия"), 15, field(rows, QStringLiteral("Name1"))},
        {QStringLiteral("Имя"), 15, field(rows, QStringLiteral("Name2"))},
        {QStringLiteral("Отчество"), 13, field(rows, QStringLiteral("Name3"))},
        {QStringLiteral("Улица"), 15, lookupOf(rows, QStringLiteral("N_Street"), streetNames)},
        {QStringLiteral("Дом"), 5, field(rows, QStringLiteral("Dom"))},
        {QStringLiteral("/"), 4, field(rows, QStringLiteral("Drob"))},
        {QStringLiteral("Кв."), 5, field(rows, QStringLiteral("Kvartira"))},
        {QStringLiteral("Тел."), 12, field(rows, QStringLiteral("Tel"))},
        {QStringLiteral("Моб."), 12, field(rows, QStringLiteral("Mob"))},
        {QStringLiteral("Дата"), 10, [rows](int r) {
             const QVariant v = rows.value(r, QStringLiteral("Data_Create"));
             return v.isNull() ? QVariant() : QVariant(v.toDate());
         }},
        {QStringLiteral("Вкл."), 5, [rows](int r) {
             return QVariant(rows.value(r, QStringLiteral("lock")).toInt() == 1 ? QStringLiteral("вкл.")
                                                                                 : QStringLiteral("выкл."));
         }},
        {QStringLiteral("Счёт"), 0, moneyTextOf(rows, QStringLiteral("money"))},
    };
    return l;
}

ExportLayout journalLayout(const GridRows& rows, const QString& caption, bool withIdColumn,
                           const LookupTexts& operationNames) {
    ExportLayout l;
    l.sheetName = caption;
    l.title = caption;
    l.titleRow = 1;
    l.titleColumn = 3;
    l.headerRow = 2;
    l.rowCount = rows.count;
    l.rowAlignment = HAlign::Right;
    if (withIdColumn) l.columns.push_back({QStringLiteral("id абонента"), 10, field(rows, QStringLiteral("id_abona"))});
    const std::vector<ExportColumn> rest = {
        {QStringLiteral("Номер операции"), 14, field(rows, QStringLiteral("nomer_operacii"))},
        {QStringLiteral("Дата"), 17, [rows](int r) {
             const QVariant v = rows.value(r, QStringLiteral("date"));
             return v.isNull() ? QVariant() : QVariant(journalDateTimeText(v.toDateTime()));
         }},
        {QStringLiteral("Тип операции"), 16, lookupOf(rows, QStringLiteral("tip_operacii"), operationNames)},
        {QStringLiteral("Кол-во каналов"), 13, field(rows, QStringLiteral("kanals_count"))},
        {QStringLiteral("Сумма оплаты"), 13, moneyTextOf(rows, QStringLiteral("summa"))},
        {QStringLiteral("После оплаты"), 12, moneyTextOf(rows, QStringLiteral("posle_oplati"))},
    };
    l.columns.insert(l.columns.end(), rest.begin(), rest.end());
    return l;
}

ExportLayout lastRunLayout(const GridRows& rows) {
    ExportLayout l;
    l.sheetName = QStringLiteral("Отчёт по списанию средств");
    l.headerRow = 1;
    l.rowCount = rows.count;
    l.rowAlignment = HAlign::Right;
    l.columns = {
        {QStringLiteral("Номер операции"), 15, field(rows, QStringLiteral("nomer_operacii"))},
        {QStringLiteral("ID абонента"), 12, field(rows, QStringLiteral("id_abona"))},
        {QStringLiteral("кол-во каналов"), 13, field(rows, QStringLiteral("kanals_count"))},
        {QStringLiteral("Сумма оплаты"), 13, moneyTextOf(rows, QStringLiteral("summa"))},
        {QStringLiteral("После оплаты"), 12, moneyTextOf(rows, QStringLiteral("posle_oplati"))},
    };
    return l;
}

}  // namespace kavrin
