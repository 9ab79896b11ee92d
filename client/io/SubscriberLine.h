#pragma once
// One line of the new-subscriber or modify-subscriber file, converted field by field before anything is
// written, so that a line that fails a conversion changes nothing (not even the street table).
#include <QDate>
#include <QString>
#include <optional>

namespace kavrin {

// Fields 2..15 of a subscriber line; a field left empty in the file is nullopt.
struct SubscriberLine {
    QString idText;  // field 1, as written
    std::optional<QString> name1, name2, name3;
    std::optional<QString> street;  // the street's name; the import resolves it to a number
    std::optional<QString> dom, drob, kvartira, tel, mob;
    std::optional<QDate> dataCreate;
    std::optional<int> lock, money, abonplata, flagForAbonplata;

    bool hasEveryValue() const;  // what a new subscriber needs: the date and the four numbers

    // Splits and converts the line; nullopt when a non-empty field fails its conversion.
    static std::optional<SubscriberLine> parse(const QString& line);
};

}  // namespace kavrin
