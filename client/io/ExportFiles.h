#pragma once
// Where exported workbooks go: the folder "Kavrin" in the user's documents folder, one file per export
// named after what it holds and when it was made, so no export overwrites another.
#include <QDateTime>
#include <QString>

namespace kavrin {

QString exportFolder();
// For example ".../Kavrin/Список абонентов 2026-03-05 14-30-07.xlsx".
QString exportFilePath(const QString& what, const QDateTime& at);

}  // namespace kavrin
