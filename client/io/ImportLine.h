#pragma once
// Fields of one line of an import file. Fields are separated by ";" without quoting; a field cannot hold ";".
#include <QString>

namespace kavrin {

class ImportLine {
public:
    explicit ImportLine(QString line) : rest_(std::move(line)) {}

    // Takes the next field from the front: the text before the first ";", which is removed with its ";".
    // When no ";" is left the field is empty and the first character of the rest is dropped, so a line with
    // too few fields fails the conversion of a later field instead of shifting values into wrong columns.
    QString take();
    // The whole remaining text: the last field of a record.
    const QString& rest() const { return rest_; }

    // A line the imports refuse outright: no separator at all, or an empty first field.
    static bool malformed(const QString& line) { return !line.contains(u';') || line.startsWith(u';'); }

private:
    QString rest_;
};

}  // namespace kavrin
