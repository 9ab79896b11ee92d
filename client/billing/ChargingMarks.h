#pragma once
// The `spisanie` table: one mark per charged pass, the latest telling up to which date money was taken.
#include <QDate>
#include <optional>

namespace kavrin::charging_marks {

struct Mark {
    int id = 0;
    QDate date;
};

// The latest mark, or nullopt when the table holds none (or its date is empty).
std::optional<Mark> last();
// Appends a mark dated today (the settings save with automatic charging on).
void appendToday();

}  // namespace kavrin::charging_marks
