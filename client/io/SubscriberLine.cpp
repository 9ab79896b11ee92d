#include "io/SubscriberLine.h"

#include "io/ImportLine.h"
#include "io/ImportText.h"

namespace kavrin {

namespace {

constexpr int kStreetNameWidth = 20;  // street.Name_Street

std::optional<QString> text(const QString& field) {
    return field.isEmpty() ? std::nullopt : std::optional<QString>(field);
}

// Converts a non-empty field; `ok` turns false when it does not convert.
template <typename T, typename F>
std::optional<T> converted(const QString& field, F convert, bool& ok) {
    if (field.isEmpty()) return std::nullopt;
    std::optional<T> v = convert(field);
    if (!v) ok = false;
    return v;
}

}  // namespace

bool SubscriberLine::hasEveryValue() const {
    return dataCreate && lock && money && abonplata && flagForAbonplata;
}

std::optional<SubscriberLine> SubscriberLine::parse(const QString& line) {
    ImportLine fields(line);
    SubscriberLine s;
    bool ok = true;
    s.idText = fields.take();
    s.name1 = text(fields.take());
    s.name2 = text(fields.take());
    s.name3 = text(fields.take());
    s.street = text(fields.take());
    if (s.street && s.street->size() > kStreetNameWidth) ok = false;
    s.dom = text(fields.take());
    s.drob = text(fields.take());
    s.kvartira = text(fields.take());
    s.tel = text(fields.take());
    s.mob = text(fields.take());
    s.dataCreate = converted<QDate>(fields.take(), [](const QString& f) { return parseShortDate(f); }, ok);
    s.lock = converted<int>(fields.take(), parseInt32, ok);
    s.money = converted<int>(fields.take(), [](const QString& f) { return parseMoneyKopecks(f); }, ok);
    s.abonplata = converted<int>(fields.take(), parseInt32, ok);
    s.flagForAbonplata = converted<int>(fields.rest(), parseInt32, ok);
    if (!ok) return std::nullopt;
    return s;
}

}  // namespace kavrin
