// The journal and report windows, the write-off report, the SQL console and the filter row, on the offscreen
// platform against the real database. Exports are read back from the files they write.
#include "IoFixture.h"

#include "common/Clock.h"
#include "data/DataSetModel.h"
#include "io/ExportFiles.h"
#include "io/GridRows.h"
#include "ui/FilterRow.h"
#include "ui/TForm12.h"
#include "ui/TForm8.h"
#include "ui/TForm9.h"

#include <QComboBox>
#include <QDateEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace kavrin::test {
namespace {

// Reads a written workbook back: {"sheets": [...], "cells": {"r,c": {"value": ...}}, ...}.
QJsonObject readWorkbook(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KAVRIN_XLSX_READER), path});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QString cell(const QJsonObject& wb, int r, int c) {
    return wb["cells"].toObject()[QStringLiteral("%1,%2").arg(r).arg(c)].toObject()["value"].toVariant().toString();
}

class ScreensTest : public IoFixture {
protected:
    void SetUp() override {
        IoFixture::SetUp();
        QStandardPaths::setTestModeEnabled(true);
        exportFileOpener() = [this](const QString& path) {
            opened << path;
            return true;
        };
        Clock::install(&clock);
    }
    void TearDown() override {
        Clock::install(nullptr);
        IoFixture::TearDown();
    }

    // Ids shown by a grid, top to bottom.
    static QStringList column(const QTableView& grid, int c) {
        QStringList out;
        for (int r = 0; r < grid.model()->rowCount(); ++r) out << grid.model()->index(r, c).data().toString();
        return out;
    }

    ManualClock clock{QDateTime(QDate(2010, 3, 5), QTime(12, 0))};
    QStringList opened;
};

TEST_F(ScreensTest, JournalOfTheCurrentSubscriber) {
    addSubscriber(17, 505, 1);
    addSubscriber(18, 0, 0);
    exec("insert into prihod_rashod (nomer_operacii, id_abona, tip_operacii, kanals_count, summa, posle_oplati, date) values "
         "(1,17,1,0,1205,505,'2010-03-01 10:00:00'),(2,18,2,3,-300,-300,'2010-03-02 10:00:00'),"
         "(3,17,2,4,-75,430,'2010-03-03 09:15:30')");
    reopen();
    Datasets::shared().abons.locate("Id", 17);
    TForm8 f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Приход-Расход id=17");
    EXPECT_FALSE(f.cxDateEdit1->isVisible());
    EXPECT_FALSE(f.Label2->isVisible());
    EXPECT_TRUE(f.cxGrid1->isVisible());
    EXPECT_FALSE(f.idColumnShown());
    EXPECT_EQ(column(*f.cxGrid1, 1), (QStringList{"1", "3"}));
    EXPECT_EQ(column(*f.cxGrid1, 3), (QStringList{"Пополнение счёта", "Списание средств"}));
    EXPECT_EQ(column(*f.cxGrid1, 5), (QStringList{"12,05", "-0,75"}));
    EXPECT_EQ(column(*f.cxGrid1, 6), (QStringList{"5,05", "4,3"}));
    EXPECT_EQ(scalar("select count(*) from tip_operaciy_money").toInt(), 2);

    f.Button1Click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].contains("/Kavrin/Приход-Расход id=17 2010-03-05 12-00-00.xlsx")) << opened[0].toStdString();
    const QJsonObject wb = readWorkbook(opened[0]);
    EXPECT_EQ(wb["sheets"].toArray()[0].toString(), "Приход-Расход id=17");
    EXPECT_EQ(cell(wb, 1, 3), "Приход-Расход id=17");
    EXPECT_EQ(cell(wb, 2, 1), "Номер операции");
    EXPECT_EQ(cell(wb, 4, 2), "03.03.2010 09:15:30");
    EXPECT_EQ(cell(wb, 4, 3), "Списание средств");
    f.reject();
}

TEST_F(ScreensTest, JournalOfASubscriberWithoutOperationsIsEmpty) {
    addSubscriber(40, 0, 1);
    reopen();
    Datasets::shared().abons.locate("Id", 40);
    TForm8 f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Приход-Расход id=40");
    EXPECT_EQ(f.cxGrid1->model()->rowCount(), 0);
    f.reject();
}

TEST_F(ScreensTest, PeriodReportTakesTheWholeEndDayAndRestoresTheJournalLayout) {
    addSubscriber(17, 0, 1);
    exec("insert into prihod_rashod (nomer_operacii, id_abona, tip_operacii, summa, posle_oplati, date) values "
         "(1,17,1,100,100,'2010-03-04 23:59:59'),(2,17,1,100,200,'2010-03-05 00:00:00'),"
         "(3,18,1,100,300,'2010-03-05 23:59:59'),(4,17,1,100,400,'2010-03-06 00:00:00'),"
         "(5,17,1,100,500,'2010-03-06 00:00:01')");
    reopen();
    TForm8 f;
    f.report_mode = 1;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Отчёты за период");
    EXPECT_EQ(f.cxDateEdit1->date(), QDate(2010, 3, 5));
    EXPECT_EQ(f.cxDateEdit2->date(), QDate(2010, 3, 5));
    EXPECT_FALSE(f.cxGrid1->isVisible());
    EXPECT_FALSE(f.Button1->isVisible());
    EXPECT_TRUE(f.Button2->isVisible());
    EXPECT_TRUE(f.Label1->isVisible());

    f.Button2Click();
    EXPECT_TRUE(f.cxGrid1->isVisible());
    EXPECT_TRUE(f.Button1->isVisible());
    EXPECT_TRUE(f.idColumnShown());
    QStringList numbers = column(*f.cxGrid1, 1);
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (QStringList{"2", "3", "4"}));

    f.Button1Click();
    ASSERT_EQ(opened.size(), 1);
    const QJsonObject wb = readWorkbook(opened[0]);
    EXPECT_EQ(wb["sheets"].toArray()[0].toString(), "Отчёты за период");
    EXPECT_EQ(cell(wb, 2, 1), "id абонента");
    EXPECT_EQ(cell(wb, 2, 2), "Номер операции");
    EXPECT_EQ(wb["max_row"].toInt(), 5);

    f.cxDateEdit1->setDate(QDate(2010, 3, 10));
    f.Button2Click();
    EXPECT_EQ(f.cxGrid1->model()->rowCount(), 0);  // an end before the start

    f.reject();
    f.report_mode = 0;
    f.show();
    EXPECT_TRUE(f.cxGrid1->isVisible());
    EXPECT_TRUE(f.Button1->isVisible());
    EXPECT_FALSE(f.Button2->isVisible());
    EXPECT_FALSE(f.idColumnShown());
    EXPECT_FALSE(f.cxDateEdit1->isVisible());
    f.reject();
}

TEST_F(ScreensTest, WriteOffReportShowsAndExportsTheLastRun) {
    TForm9 f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Отчёт по списанию средств");
    f.Button1Click();  // an empty grid: sheet, widths and header only
    exec("insert into tmp_ot4et (nomer_operacii, id_abona, kanals_count, summa, posle_oplati) values (1,17,5,-1500,100),(2,18,0,-250,-250)");
    f.reject();
    clock.set(clock.now().addSecs(1));
    f.show();  // showing again reads the table again
    EXPECT_EQ(column(*f.cxGrid1, 3), (QStringList{"-15", "-2,5"}));
    f.Button1Click();
    ASSERT_EQ(opened.size(), 2);
    const QJsonObject empty = readWorkbook(opened[0]);
    EXPECT_EQ(empty["max_row"].toInt(), 1);
    EXPECT_EQ(cell(empty, 1, 3), "кол-во каналов");
    const QJsonObject full = readWorkbook(opened[1]);
    EXPECT_EQ(cell(full, 3, 2), "18");
    EXPECT_EQ(cell(full, 3, 4), "-2,5");
    f.reject();
}

TEST_F(ScreensTest, FilteredRegisterExportsOnlyWhatTheGridShowsInItsOrder) {
    exec("insert into street (Id, Name_Street) values (1,'Садовая')");
    addSubscriber(1, 100, 1, "Иванов");
    addSubscriber(2, 200, 0, "Петров");
    addSubscriber(3, 300, 1, "Иваненко");
    reopen();
    DataSetModel model(Datasets::shared().abons, {{"Id", "ID"}});
    FilterProxyModel view;
    view.setSourceModel(&model);
    view.sort(0, Qt::DescendingOrder);
    view.setFilter(buildSubscriberFilter({.name1 = "иван"}));
    const QString path = dir.filePath("list.xlsx");
    writeWorkbook(subscriberListLayout(gridRowsOf(view, Datasets::shared().abons),
                                       lookupTextsOf(Datasets::shared().streets, "Id", "Name_Street")),
                  path);
    const QJsonObject wb = readWorkbook(path);
    EXPECT_EQ(wb["max_row"].toInt(), 3);
    EXPECT_EQ(cell(wb, 2, 1), "3");
    EXPECT_EQ(cell(wb, 2, 2), "Иваненко");
    EXPECT_EQ(cell(wb, 3, 1), "1");
    EXPECT_EQ(cell(wb, 3, 13), "1");
}

TEST_F(ScreensTest, ConsoleRebuildsTheGridFromEachResult) {
    addSubscriber(17, 0, 1);
    reopen();
    TForm12 f;
    f.show();
    QTest::keyClicks(f.cxMemo1, "select * from abons");
    QTest::keyClick(f.cxMemo1, Qt::Key_F9);
    EXPECT_EQ(f.cxGrid1->model()->columnCount(), scalar("select count(*) from information_schema.columns "
                                                         "where table_schema='kavrin' and table_name='abons'").toInt());
    EXPECT_EQ(f.cxGrid1->model()->headerData(0, Qt::Horizontal).toString(), "Id");
    EXPECT_EQ(f.cxGrid1->model()->rowCount(), 1);

    f.cxMemo1->setPlainText("select Name1, money\nfrom abons");
    f.Button1Click();
    EXPECT_EQ(f.cxGrid1->model()->columnCount(), 2);
    EXPECT_EQ(f.cxGrid1->model()->headerData(1, Qt::Horizontal).toString(), "money");

    f.cxMemo1->setPlainText("select * from no_such_table");
    f.Button1Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("no_such_table")) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(f.cxGrid1->model()->columnCount(), 2);  // the old columns stay, without data
    EXPECT_EQ(f.cxGrid1->model()->rowCount(), 0);

    f.reject();
    f.show();
    EXPECT_TRUE(f.cxMemo1->toPlainText().isEmpty());
    f.Button1Click();  // an empty text: the server's error
    EXPECT_EQ(dialogs.messages().size(), 2);
    f.reject();
}

TEST_F(ScreensTest, FilterRowAppliesOnEnterAndClears) {
    addSubscriber(1, 1250, 1, "Иванов");
    addSubscriber(2, 1250, 0, "Петров");
    addSubscriber(3, 0, 0, "Иваненко");
    reopen();
    QWidget row;
    FilterRowWidgets w;
    for (QLineEdit** e : {&w.cxMaskEdit1, &w.cxTextEdit1, &w.cxTextEdit2, &w.cxTextEdit3, &w.cxTextEdit4, &w.cxTextEdit5,
                          &w.cxTextEdit6, &w.cxTextEdit7, &w.cxTextEdit8, &w.cxTextEdit9, &w.cxMaskEdit2, &w.cxTextEdit10})
        *e = new QLineEdit(&row);
    w.cxDateEdit1 = new QDateEdit(&row);
    w.cxDateEdit1->setDate(w.cxDateEdit1->minimumDate());
    w.cxComboBox1 = new QComboBox(&row);
    w.cxComboBox1->addItems({"все", "вкл", "выкл"});
    w.Button4 = new QPushButton(&row);
    w.Button5 = new QPushButton(&row);
    DataSetModel model(Datasets::shared().abons, {{"Id", "ID"}});
    FilterProxyModel view;
    view.setSourceModel(&model);
    QStatusBar status;
    FilterRow filter(w, view, &status);

    QTest::keyClicks(w.cxMaskEdit2, "12.5");
    EXPECT_EQ(w.cxMaskEdit2->text(), "12,5");
    QTest::keyClick(w.cxMaskEdit2, Qt::Key_Return);
    EXPECT_EQ(view.rowCount(), 2);
    EXPECT_EQ(status.currentMessage(), "Фильтр: \"12,5\"");

    w.cxComboBox1->setCurrentText("выкл");
    QTest::keyClick(w.cxComboBox1, Qt::Key_Return);
    EXPECT_EQ(view.rowCount(), 1);

    w.cxMaskEdit2->clear();
    w.cxTextEdit1->setText("ИВАН");
    w.Button4->click();
    ASSERT_EQ(view.rowCount(), 1);
    EXPECT_EQ(view.index(0, 0).data().toInt(), 3);

    w.cxTextEdit10->setText("x");
    QTest::keyClick(w.cxTextEdit10, Qt::Key_Return);  // Enter in the comment box does not apply
    EXPECT_EQ(view.rowCount(), 1);

    w.Button5->click();
    EXPECT_FALSE(view.isFilterActive());
    EXPECT_EQ(view.rowCount(), 3);
    EXPECT_EQ(w.cxComboBox1->currentText(), "все");
    EXPECT_TRUE(w.cxTextEdit1->text().isEmpty());
    EXPECT_TRUE(w.cxTextEdit10->text().isEmpty());
    EXPECT_TRUE(status.currentMessage().isEmpty());
}

}  // namespace
}  // namespace kavrin::test
