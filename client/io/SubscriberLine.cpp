#include "io/SubscriberLine.h"

#include "io/ImportLine.h"
#include "io/ImportText.h"

namespace kavrin {

namespace {

// Widths of the text columns (abons, street.Name_Street): a longer field fails like any other conversion,
// so nothing of the line is stored cut or half-way.
constexpr int kNameWidth = 20, kHouseWidth = 6, kPhoneWidth = 15, kStreetNameWidth = 20;

std::optional<QString> text(const QString& field, int width, bool& ok) {
    if (field.size() > width) ok = false;
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
    s.name1 = text(fields.take(), kNameWidth, ok);
    s.name2 = text(fields.take(), kNameWidth, ok);
    s.name3 = text(fields.take(), kNameWidth, ok);
    s.street = text(fields.take(), kStreetNameWidth, ok);
    s.dom = text(fields.take(), kHouseWidth, ok);
    s.drob = text(fields.take(), kHouseWidth, ok);
    s.kvartira = text(fields.take(), kHouseWidth, ok);
    s.tel = text(fields.take(), kPhoneWidth, ok);
    s.mob = text(fields.take(), kPhoneWidth, ok);
    s.dataCreate = converted<QDate>(fields.take(), [](const QString& f) { return parseShortDate(f); }, ok);
    s.lock = converted<int>(fields.take(), parseInt32, ok);
    s.money = converted<int>(fields.take(), [](const QString& f) { return parseMoneyKopecks(f); }, ok);
    s.abonplata = converted<int>(fields.take(), parseInt32, ok);
    s.flagForAbonplata = converted<int>(fields.rest(), parseInt32, ok);
    if (!ok) return std::nullopt;
    return s;
}

}  // namespace kavrin
