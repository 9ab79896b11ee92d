#include "ui/TForm9.h"

#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Datasets.h"
#include "data/FilterProxyModel.h"
#include "io/ExportFiles.h"
#include "io/GridRows.h"
#include "io/MoneyColumns.h"
#include "ui/TForm1.h"
#include "ui/ReadOnlyGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrin {

TForm9::TForm9(QWidget* parent) : QDialog(parent), ClientDataSet1(Datasets::shared().lastRun) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Отчёт по списанию средств"));
    setModal(true);
    resize(600, 480);
    addMoneyTextFields(ClientDataSet1);

    auto column = [](const char* field, const QString& caption, int width, EditorKind kind = EditorKind::Text) {
        DataSetColumn c;
        c.field = QLatin1String(field);
        c.caption = caption;
        c.width = width;
        c.kind = kind;
        c.readOnly = true;
        if (kind == EditorKind::Calculated) c.alignment = Qt::AlignRight | Qt::AlignVCenter;
        return c;
    };
    DataSource1 = new DataSetModel(ClientDataSet1,
                                   {column("nomer_operacii", QStringLiteral("Номер операции"), 120),
                                    column("id_abona", QStringLiteral("ID абонента"), 90),
                                    column("kanals_count", QStringLiteral("Кол-во каналов"), 110),
                                    column("summa_new", QStringLiteral("Сумма оплаты"), 105, EditorKind::Calculated),
                                    column("posle_oplati_new", QStringLiteral("После оплаты"), 105, EditorKind::Calculated)},
                                   this);
    cxGrid1DBTableView1 = new FilterProxyModel(this);
    cxGrid1 = createReadOnlyGrid(this, DataSource1, cxGrid1DBTableView1);

    Button1 = new QPushButton(QStringLiteral("Экспорт таблицы в Excel"), this);
    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Button1);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cxGrid1, 1);
    layout->addLayout(bottom);
}

void TForm9::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm9::FormShow() {
    if (TForm1* main = Screens::shared().Form1) move(main->pos() + QPoint(274, 15));
    if (ClientDataSet1.isOpen())
        ClientDataSet1.refresh();
    else
        ClientDataSet1.open();
}

void TForm9::Button1Click() {
    try {
        exportAndOpen(lastRunLayout(gridRowsOf(*cxGrid1DBTableView1, ClientDataSet1)), windowTitle());
    } catch (const ExportError& e) {
        showMessage(e.text());
    }
}

}  // namespace kavrin
