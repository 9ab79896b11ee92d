#include "ui/TForm8.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Datasets.h"
#include "data/FilterProxyModel.h"
#include "data/Sql.h"
#include "io/ExportFiles.h"
#include "io/GridRows.h"
#include "io/JournalQueries.h"
#include "io/MoneyColumns.h"
#include "ui/TForm1.h"
#include "ui/ReadOnlyGrid.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrin {

namespace {

enum Column { idAbona, nomer_operacii, Column1, tip_operacii, kanals_count, summa_new, posle_oplati_new };

QVector<DataSetColumn> journalColumns(ClientDataSet& operationNames) {
    auto column = [](const char* field, const QString& caption, int width) {
        DataSetColumn c;
        c.field = QLatin1String(field);
        c.caption = caption;
        c.width = width;
        c.readOnly = true;
        return c;
    };
    QVector<DataSetColumn> columns = {
        column("id_abona", QStringLiteral("   id"), 50),
        column("nomer_operacii", QStringLiteral("Номер"), 60),
        column("date", QStringLiteral("Дата"), 120),
        column("tip_operacii", QStringLiteral("Тип операции"), 130),
        column("kanals_count", QStringLiteral("Кол-во каналов"), 110),
        column("summa_new", QStringLiteral("Сумма оплаты"), 105),
        column("posle_oplati_new", QStringLiteral("После оплаты"), 105),
    };
    columns[tip_operacii].kind = EditorKind::Lookup;
    columns[tip_operacii].lookupDataSet = &operationNames;
    columns[tip_operacii].lookupKeyField = QStringLiteral("Id_operacii");
    columns[tip_operacii].lookupResultField = QStringLiteral("name_operacii");
    for (int c : {summa_new, posle_oplati_new}) {
        columns[c].kind = EditorKind::Calculated;
        columns[c].alignment = Qt::AlignRight | Qt::AlignVCenter;
    }
    return columns;
}

}  // namespace

TForm8::TForm8(QWidget* parent)
    : QDialog(parent), ClientDataSet1(Datasets::shared().operationNames), journal(Datasets::shared().journal) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Приход/Расход"));
    setModal(true);
    resize(760, 480);
    addMoneyTextFields(journal);

    DataSource1 = new DataSetModel(journal, journalColumns(ClientDataSet1), this);
    cxGrid1DBTableView1 = new FilterProxyModel(this);
    cxGrid1 = createReadOnlyGrid(this, DataSource1, cxGrid1DBTableView1);
    cxGrid1->setColumnHidden(idAbona, true);

    Label1 = new QLabel(QStringLiteral("С"), this);
    Label2 = new QLabel(QStringLiteral("ПО"), this);
    cxDateEdit1 = new QDateEdit(this);
    cxDateEdit2 = new QDateEdit(this);
    for (QDateEdit* e : {cxDateEdit1, cxDateEdit2}) e->setCalendarPopup(true);
    Button2 = new QPushButton(QStringLiteral("Выбрать"), this);
    Button1 = new QPushButton(QStringLiteral("Экспорт в Excel"), this);
    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);

    auto* period = new QHBoxLayout;
    period->addWidget(Label1);
    period->addWidget(cxDateEdit1);
    period->addWidget(Label2);
    period->addWidget(cxDateEdit2);
    period->addWidget(Button2);
    period->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Button1);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addWidget(cxGrid1, 1);
    layout->addLayout(bottom);

    Button2->hide();
    showPeriodControls(false);
}

bool TForm8::idColumnShown() const { return !cxGrid1->isColumnHidden(idAbona); }

void TForm8::showPeriodControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, cxDateEdit1, Label2, cxDateEdit2}) w->setVisible(on);
}

void TForm8::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm8::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm8::reopenJournal(const QString& sql, const QVariantList& binds) {
    journal.close();
    journal.setCommandText(sql);
    journal.setParams(binds);
    journal.open();
}

void TForm8::FormShow() {
    if (TForm1* main = Screens::shared().Form1) move(main->pos() + QPoint(274, 15));
    if (report_mode == 1) {
        setWindowTitle(QStringLiteral("Отчёты за период"));
        cxDateEdit1->setDate(Clock::current().today());
        cxDateEdit2->setDate(Clock::current().today());
        Button2->show();
        cxGrid1->hide();
        cxGrid1->setColumnHidden(idAbona, false);
        Button1->hide();
        showPeriodControls(true);
        return;
    }
    const QVariant id = Datasets::shared().abons.isOpen() ? Datasets::shared().abons.value(QStringLiteral("Id")) : QVariant();
    setWindowTitle(QStringLiteral("Приход-Расход id=") + id.toString());
    showPeriodControls(false);
    journal_sql::rewriteOperationNames();
    // Re-read the names just written: a database that had none at start-up shows them at once.
    ClientDataSet1.close();
    ClientDataSet1.setCommandText(journal_sql::kOperationNames);
    ClientDataSet1.open();
    reopenJournal(journal_sql::kForSubscriber, {id.isNull() ? QVariant(0) : id});
}

void TForm8::Button2Click() {
    reopenJournal(journal_sql::kForPeriod, journal_sql::periodBinds(cxDateEdit1->date(), cxDateEdit2->date()));
    cxGrid1->show();
    Button1->show();
}

void TForm8::FormClose() {
    if (report_mode != 1) return;
    Button2->hide();
    cxGrid1->show();
    cxGrid1->setColumnHidden(idAbona, true);
    Button1->show();
}

void TForm8::Button1Click() {
    try {
        exportAndOpen(journalLayout(gridRowsOf(*cxGrid1DBTableView1, journal), windowTitle(), idColumnShown(),
                                    lookupTextsOf(ClientDataSet1, QStringLiteral("Id_operacii"),
                                                  QStringLiteral("name_operacii"))),
                      windowTitle());
    } catch (const ExportError& e) {
        showMessage(e.text());
    }
}

}  // namespace kavrin
