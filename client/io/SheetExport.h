#pragma once
// The spreadsheet export engine: one sheet laid out by an ExportLayout, written as an .xlsx file.
// The three exports of the client (subscriber list, journal, write-off report) are three layouts of it.
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kavrin {

// Horizontal alignments, numbered as the spreadsheet program numbers them.
enum class HAlign { General = 1, Left = 2, Center = 3, Right = 4 };

struct ExportColumn {
    QString header;
    double width = 0;  // in characters; 0 leaves the program's default
    // The cell of a data row (0-based row of the grid as shown): an integer or floating value is written as a
    // number, a QDate as a date, a text as text, a null value leaves the cell empty.
    std::function<QVariant(int row)> value;
};

struct ExportLayout {
    QString sheetName;
    std::optional<QString> title;  // written at (titleRow, titleColumn) when set
    int titleRow = 1, titleColumn = 1;
    int headerRow = 1;  // data rows follow it; rows and columns count from 1
    std::vector<ExportColumn> columns;
    HAlign rowAlignment = HAlign::General;             // of every data row
    std::optional<std::pair<int, HAlign>> columnAlignment;  // of one whole column, set after the rows
    int rowCount = 0;
};

class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// Writes the workbook to `path` (overwriting it); throws ExportError when it cannot be written.
void writeWorkbook(const ExportLayout& layout, const QString& path);

// A sheet name the spreadsheet accepts: at most 31 characters, none of []:*?/\ .
QString safeSheetName(const QString& name);

}  // namespace kavrin
