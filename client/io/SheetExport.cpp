#include "io/SheetExport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <map>
#include <xlsxwriter.h>

namespace kavrin {

namespace {

uint8_t toLxw(HAlign a) {
    switch (a) {
    case HAlign::Left: return LXW_ALIGN_LEFT;
    case HAlign::Center: return LXW_ALIGN_CENTER;
    case HAlign::Right: return LXW_ALIGN_RIGHT;
    case HAlign::General: break;
    }
    return LXW_ALIGN_NONE;
}

// The short date format of the system in the spreadsheet's notation (dd.MM.yyyy becomes dd.mm.yyyy).
std::string dateNumberFormat() {
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    f.replace(u'M', u'm');
    return f.toStdString();
}

// One writer per export: formats are shared per (alignment, is-date) pair, as the program expects.
class SheetWriter {
public:
    SheetWriter(const ExportLayout& layout, const QString& path) : layout_(layout), path_(path) {
        book_ = workbook_new(QFile::encodeName(path).constData());
        if (!book_) fail(QStringLiteral("Не удалось создать файл ") + path);
        const std::string name = safeSheetName(layout.sheetName).toStdString();
        sheet_ = workbook_add_worksheet(book_, name.c_str());
        if (!sheet_) fail(QStringLiteral("Недопустимое имя листа: ") + layout.sheetName);
        dateFormat_ = dateNumberFormat();
    }
    ~SheetWriter() {
        if (book_) workbook_close(book_);  // only on failure: the normal path closes it in finish()
    }

    void write() {
        const auto& cols = layout_.columns;
        for (size_t c = 0; c < cols.size(); ++c)
            if (cols[c].width > 0) check(worksheet_set_column(sheet_, c, c, cols[c].width, nullptr));
        if (layout_.title)
            check(worksheet_write_string(sheet_, layout_.titleRow - 1, layout_.titleColumn - 1,
                                         utf8(*layout_.title).c_str(), nullptr));
        for (size_t c = 0; c < cols.size(); ++c)
            check(worksheet_write_string(sheet_, layout_.headerRow - 1, c, utf8(cols[c].header).c_str(), nullptr));

        lxw_format* rowFormat = format(layout_.rowAlignment, false);
        for (int r = 0; r < layout_.rowCount; ++r) {
            const lxw_row_t row = layout_.headerRow + r;  // 0-based sheet row of data row r
            check(worksheet_set_row(sheet_, row, LXW_DEF_ROW_HEIGHT, rowFormat));
            for (size_t c = 0; c < cols.size(); ++c) writeCell(row, c, cols[c].value(r));
        }
        if (layout_.columnAlignment) {
            const lxw_col_t c = layout_.columnAlignment->first - 1;
            const double width = c < cols.size() && cols[c].width > 0 ? cols[c].width : LXW_DEF_COL_WIDTH;
            check(worksheet_set_column(sheet_, c, c, width, format(layout_.columnAlignment->second, false)));
        }
        lxw_workbook* book = book_;
        book_ = nullptr;
        const lxw_error e = workbook_close(book);
        if (e != LXW_NO_ERROR)
            throw ExportError(QStringLiteral("Не удалось записать файл ") + path_ + QStringLiteral(": ") +
                              QString::fromUtf8(lxw_strerror(e)));
    }

private:
    // The alignment a cell of this column ends with: a column alignment set after the rows overrides the
    // row's, as it does when the program applies it to the whole column.
    HAlign cellAlignment(lxw_col_t c) const {
        if (layout_.columnAlignment && layout_.columnAlignment->first - 1 == static_cast<int>(c))
            return layout_.columnAlignment->second;
        return layout_.rowAlignment;
    }

    void writeCell(lxw_row_t row, lxw_col_t c, const QVariant& v) {
        if (v.isNull() || !v.isValid()) return;
        const HAlign align = cellAlignment(c);
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        case QMetaType::Char: case QMetaType::UChar: case QMetaType::SChar: case QMetaType::Long:
        case QMetaType::ULong:
            check(worksheet_write_number(sheet_, row, c, v.toDouble(), format(align, false)));
            return;
        case QMetaType::QDate: {
            const QDate d = v.toDate();
            lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
            check(worksheet_write_datetime(sheet_, row, c, &dt, format(align, true)));
            return;
        }
        default:
            check(worksheet_write_string(sheet_, row, c, utf8(v.toString()).c_str(), format(align, false)));
        }
    }

    lxw_format* format(HAlign align, bool date) {
        auto& f = formats_[{static_cast<int>(align), date}];
        if (!f) {
            f = workbook_add_format(book_);
            if (align != HAlign::General) format_set_align(f, toLxw(align));
            if (date) format_set_num_format(f, dateFormat_.c_str());
        }
        return f;
    }

    static std::string utf8(const QString& s) { return s.toStdString(); }

    void check(lxw_error e) {
        if (e != LXW_NO_ERROR) fail(QStringLiteral("Ошибка записи листа: ") + QString::fromUtf8(lxw_strerror(e)));
    }
    [[noreturn]] void fail(const QString& text) { throw ExportError(text); }

    const ExportLayout& layout_;
    QString path_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::string dateFormat_;
    std::map<std::pair<int, bool>, lxw_format*> formats_;
};

}  // namespace

QString safeSheetName(const QString& name) {
    QString s = name;
    for (QChar c : QStringLiteral("[]:*?/\\")) s.replace(c, u'_');
    s = s.left(31).trimmed();
    return s.isEmpty() ? QStringLiteral("Лист1") : s;
}

void writeWorkbook(const ExportLayout& layout, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    SheetWriter(layout, path).write();
}

}  // namespace kavrin
