// The three spreadsheet layouts, written by the export engine and read back with openpyxl.
#include "io/ExportLayouts.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kavrin {
namespace {

// What the workbook holds, as the reader script reports it.
struct Workbook {
    QJsonObject json;
    QStringList sheets() const { return json["sheets"].toVariant().toStringList(); }
    int width(int column) const { return int(json["widths"].toObject()[QString::number(column)].toDouble()); }
    QJsonObject cell(int r, int c) const { return json["cells"].toObject()[QStringLiteral("%1,%2").arg(r).arg(c)].toObject(); }
    QVariant value(int r, int c) const { return cell(r, c)["value"].toVariant(); }
    QString type(int r, int c) const { return cell(r, c)["type"].toString(); }
    QString align(int r, int c) const { return cell(r, c)["align"].toString(); }
    bool has(int r, int c) const { return json["cells"].toObject().contains(QStringLiteral("%1,%2").arg(r).arg(c)); }
    QStringList row(int r, int columns) const {
        QStringList out;
        for (int c = 1; c <= columns; ++c) out << value(r, c).toString();
        return out;
    }
};

class ExportTest : public ::testing::Test {
protected:
    Workbook write(const ExportLayout& layout) {
        const QString path = dir.filePath(QStringLiteral("out.xlsx"));
        writeWorkbook(layout, path);
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KAVRIN_XLSX_READER), path});
        EXPECT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return {QJsonDocument::fromJson(p.readAllStandardOutput()).object()};
    }

    // Rows given as field -> value maps, in the order the grid shows them.
    static GridRows rowsOf(const std::vector<QVariantMap>& rows) {
        return {int(rows.size()), [rows](int r, const QString& f) { return rows[r].value(f); }};
    }

    QTemporaryDir dir;
};

TEST_F(ExportTest, SubscriberList) {
    const LookupTexts streets{{3, QStringLiteral("Садовая")}};
    const auto wb = write(subscriberListLayout(
        rowsOf({{{"Id", 17}, {"Name1", "Иванов"}, {"Name2", "Пётр"}, {"Name3", "Ильич"}, {"N_Street", 3},
                 {"Dom", "12"}, {"Drob", "а"}, {"Kvartira", "5"}, {"Tel", "223344"}, {"Mob", "+380501112233"},
                 {"Data_Create", QDate(2013, 2, 1)}, {"lock", 1}, {"money", 1250}},
                {{"Id", 4}, {"Name1", "Петров"}, {"N_Street", 99}, {"lock", 0}, {"money", -75}}}),
        streets));

    EXPECT_EQ(wb.sheets(), QStringList{"Книга 1"});
    const int widths[] = {6, 15, 15, 13, 15, 5, 4, 5, 12, 12, 10, 5};
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(wb.width(c), widths[c - 1]) << "column " << c;
    EXPECT_EQ(wb.row(1, 13), (QStringList{"ID", "Фамилия", "Имя", "Отчество", "Улица", "Дом", "/", "Кв.", "Тел.",
                                           "Моб.", "Дата", "Вкл.", "Счёт"}));
    EXPECT_EQ(wb.row(2, 13), (QStringList{"17", "Иванов", "Пётр", "Ильич", "Садовая", "12", "а", "5", "223344",
                                           "+380501112233", "2013-02-01", "вкл.", "12,5"}));
    EXPECT_EQ(wb.type(2, 1), "int");
    EXPECT_EQ(wb.type(2, 11), "date");
    EXPECT_EQ(wb.cell(2, 11)["format"].toString(), "dd.mm.yyyy");
    EXPECT_EQ(wb.type(2, 13), "str");
    // A street number without a street leaves the cell empty; the rest of the row is written.
    EXPECT_FALSE(wb.has(3, 5));
    EXPECT_EQ(wb.value(3, 12).toString(), "выкл.");
    EXPECT_EQ(wb.value(3, 13).toString(), "-0,75");
    // Data rows are left-aligned, except the balance column, set back to general after the rows.
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(wb.align(2, c), "left") << "column " << c;
    EXPECT_EQ(wb.align(2, 13), "general");
    EXPECT_EQ(wb.align(1, 1), "general");
}

TEST_F(ExportTest, JournalOfOneSubscriberHasNoIdColumn) {
    const LookupTexts names{{1, QStringLiteral("Пополнение счёта")}, {2, QStringLiteral("Списание средств")}};
    const auto wb = write(journalLayout(
        rowsOf({{{"id_abona", 17}, {"nomer_operacii", 5}, {"date", QDateTime(QDate(2010, 3, 5), QTime(14, 30, 7))},
                 {"tip_operacii", 1}, {"kanals_count", 0}, {"summa", 1205}, {"posle_oplati", 505}},
                {{"id_abona", 17}, {"nomer_operacii", 6}, {"date", QDateTime(QDate(2010, 3, 6), QTime(0, 0))},
                 {"tip_operacii", 7}, {"kanals_count", 3}, {"summa", -300}, {"posle_oplati", 205}}}),
        QStringLiteral("Приход-Расход id=17"), false, names));

    EXPECT_EQ(wb.sheets(), QStringList{"Приход-Расход id=17"});
    EXPECT_EQ(wb.value(1, 3).toString(), "Приход-Расход id=17");
    EXPECT_EQ(wb.row(2, 6), (QStringList{"Номер операции", "Дата", "Тип операции", "Кол-во каналов", "Сумма оплаты",
                                          "После оплаты"}));
    const int widths[] = {14, 17, 16, 13, 13, 12};
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(wb.width(c), widths[c - 1]) << "column " << c;
    EXPECT_EQ(wb.row(3, 6), (QStringList{"5", "05.03.2010 14:30:07", "Пополнение счёта", "0", "12,05", "5,05"}));
    EXPECT_EQ(wb.type(3, 1), "int");
    EXPECT_EQ(wb.type(3, 2), "str");  // the journal's date and time is written as text
    EXPECT_FALSE(wb.has(4, 3));       // an operation type without a name
    EXPECT_EQ(wb.value(4, 5).toString(), "-3");
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(wb.align(3, c), "right");
    EXPECT_EQ(wb.align(2, 1), "general");
}

TEST_F(ExportTest, JournalInReportModeStartsWithTheIdColumn) {
    const auto wb = write(journalLayout(
        rowsOf({{{"id_abona", 40}, {"nomer_operacii", 9}, {"date", QDateTime(QDate(2010, 3, 5), QTime(9, 0))},
                 {"tip_operacii", 2}, {"kanals_count", 4}, {"summa", -480}, {"posle_oplati", 20}}}),
        QStringLiteral("Отчёты за период"), true, {{2, QStringLiteral("Списание средств")}}));
    EXPECT_EQ(wb.sheets(), QStringList{"Отчёты за период"});
    EXPECT_EQ(wb.row(2, 7), (QStringList{"id абонента", "Номер операции", "Дата", "Тип операции", "Кол-во каналов",
                                          "Сумма оплаты", "После оплаты"}));
    EXPECT_EQ(wb.width(1), 10);
    EXPECT_EQ(wb.width(2), 14);
    EXPECT_EQ(wb.row(3, 7), (QStringList{"40", "9", "05.03.2010 09:00:00", "Списание средств", "4", "-4,8", "0,2"}));
}

TEST_F(ExportTest, LastRunReport) {
    const auto wb = write(lastRunLayout(rowsOf(
        {{{"nomer_operacii", 1}, {"id_abona", 17}, {"kanals_count", 5}, {"summa", -1500}, {"posle_oplati", 100}}})));
    EXPECT_EQ(wb.sheets(), QStringList{"Отчёт по списанию средств"});
    EXPECT_EQ(wb.row(1, 5), (QStringList{"Номер операции", "ID абонента", "кол-во каналов", "Сумма оплаты", "После оплаты"}));
    const int widths[] = {15, 12, 13, 13, 12};
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(wb.width(c), widths[c - 1]);
    EXPECT_EQ(wb.row(2, 5), (QStringList{"1", "17", "5", "-15", "1"}));
    EXPECT_EQ(wb.type(2, 3), "int");
    EXPECT_EQ(wb.align(2, 4), "right");
}

TEST_F(ExportTest, EmptyGridGivesSheetWidthsAndHeaderOnly) {
    const auto wb = write(lastRunLayout(rowsOf({})));
    EXPECT_EQ(wb.sheets(), QStringList{"Отчёт по списанию средств"});
    EXPECT_EQ(wb.json["max_row"].toInt(), 1);
    EXPECT_EQ(wb.width(1), 15);
    EXPECT_EQ(wb.value(1, 5).toString(), "После оплаты");
}

TEST_F(ExportTest, UnwritableFileIsReported) {
    ExportLayout layout = lastRunLayout(rowsOf({}));
    EXPECT_THROW(writeWorkbook(layout, QStringLiteral("/proc/no/such/place.xlsx")), ExportError);
}

}  // namespace
}  // namespace kavrin
