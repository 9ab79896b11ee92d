#include "ui/TForm4.h"

#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "ui/ReportErrors.h"

#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrin {

TForm4::TForm4(QWidget* parent)
    : TForm4(Datasets::shared().streetEditor, Datasets::shared().streets, parent) {}

TForm4::TForm4(ClientDataSet& streets, ClientDataSet& registerStreets, QWidget* parent)
    : QDialog(parent), ClientDataSet1(streets), streets_(streets, registerStreets) {
    setWindowTitle(QStringLiteral("Улицы"));
    setObjectName(QStringLiteral("Form4"));
    resize(188, 686);

    DataSetColumn name;
    name.field = QStringLiteral("Name_Street");
    name.caption = QStringLiteral("Название Улицы");
    name.width = 160;
    DataSource1 = new DataSetModel(ClientDataSet1, {name}, this);

    cxGrid1 = new QTableView(this);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    cxGrid1->setModel(DataSource1);
    cxGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    cxGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    cxGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    cxGrid1->verticalHeader()->hide();
    cxGrid1->verticalHeader()->setDefaultSectionSize(cxGrid1->fontMetrics().height() + 6);
    cxGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    cxGrid1->horizontalHeader()->setStretchLastSection(true);

    Button1 = new QPushButton(QStringLiteral("Добавить улицу"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Удалить улицу"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cxGrid1, 1);
    for (QPushButton* b : {Button1, Button2}) {
        b->setAutoDefault(false);
        layout->addWidget(b);
    }
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);

    // The dataset's current record and the grid's current row follow each other.
    connect(cxGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) DataSource1->setCurrentRow(current.row());
            });
    connect(DataSource1, &DataSetModel::currentRowChanged, this, [this](int row) {
        if (row >= 0 && cxGrid1->currentIndex().row() != row) cxGrid1->setCurrentIndex(DataSource1->index(row, 0));
    });
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm4::FormShow() {
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) move(main->x() + 448, main->y());
    reportErrors([&] { if (!ClientDataSet1.isOpen()) ClientDataSet1.open(); });
}

void TForm4::Button1Click() {
    reportErrors([&] {
        if (streets_.addStreet()) cxGrid1->setCurrentIndex(DataSource1->index(ClientDataSet1.recNo() - 1, 0));
    });
}

void TForm4::Button2Click() {
    reportErrors([&] { streets_.deleteStreet(); });
}

bool TForm4::FormCloseQuery() {
    // An open cell editor hands its text to the row when it loses the focus.
    cxGrid1->setFocus();
    try {
        return streets_.close();
    } catch (const DatabaseError& e) {
        showMessage(e.text());
        return true;  // the register's list could not be re-read; the streets themselves are stored
    }
}

void TForm4::done(int result) {
    if (FormCloseQuery()) QDialog::done(result);
}

}  // namespace kavrin
