#pragma once
// Where exported workbooks go: the folder "Kavrin" in the user's documents folder, one file per export
// named after what it holds and when it was made, so no export overwrites another. The file is then opened
// with the desktop's default program for it.
#include "io/SheetExport.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace kavrin {

QString exportFolder();
// For example ".../Kavrin/Список абонентов 2026-03-05 14-30-07.xlsx".
QString exportFilePath(const QString& what, const QDateTime& at);

// Opens a written file; the desktop's default program unless replaced (tests). Returns false when it cannot.
std::function<bool(const QString& path)>& exportFileOpener();

// Writes the layout under a new name in the export folder and opens it; returns the path. When no program
// opens it the user is told where the file is. Throws ExportError when it cannot be written.
QString exportAndOpen(const ExportLayout& layout, const QString& what);

}  // namespace kavrin
