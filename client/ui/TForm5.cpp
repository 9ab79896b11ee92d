#include "ui/TForm5.h"

#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "ui/TForm6.h"
#include "ui/ReportErrors.h"

#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrin {

TForm5::TForm5(QWidget* parent) : TForm5(Datasets::shared().packages, nullptr, parent) {}

TForm5::TForm5(ClientDataSet& packages, TForm6* editor, QWidget* parent)
    : QDialog(parent), ClientDataSet1(packages), packages_(packages), editor_(editor) {
    setWindowTitle(QStringLiteral("Редактирование пакетов"));
    setObjectName(QStringLiteral("Form5"));
    resize(290, 490);

    DataSetColumn name;
    name.field = QStringLiteral("Name_Paket");
    name.caption = QStringLiteral("Имя пакета");
    name.width = 260;
    name.readOnly = true;
    DataSource1 = new DataSetModel(ClientDataSet1, {name}, this);

    cxGrid1 = new QTableView(this);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    cxGrid1->setModel(DataSource1);
    cxGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    cxGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    cxGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cxGrid1->verticalHeader()->hide();
    cxGrid1->verticalHeader()->setDefaultSectionSize(cxGrid1->fontMetrics().height() + 6);
    cxGrid1->horizontalHeader()->setStretchLastSection(true);

    const auto button = [this](const char* objectName, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(objectName));
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button("Button1", QStringLiteral("Редактировать список каналов пакета"));
    Button2 = button("Button2", QStringLiteral("Добавить пакет"));
    Button3 = button("Button3", QStringLiteral("Удалить пакет"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cxGrid1, 1);
    for (QPushButton* b : {Button1, Button2, Button3}) layout->addWidget(b);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);

    // The list's current row is the package every button acts on.
    connect(cxGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) DataSource1->setCurrentRow(current.row());
            });
    connect(DataSource1, &DataSetModel::currentRowChanged, this, [this](int row) {
        if (row >= 0 && cxGrid1->currentIndex().row() != row) cxGrid1->setCurrentIndex(DataSource1->index(row, 0));
    });
}

// The program's channel editor is a sibling screen under the main window.
TForm6* TForm5::editor() const {
    if (editor_) return editor_;
    return parentWidget() ? parentWidget()->findChild<TForm6*>() : nullptr;
}

void TForm5::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm5::FormShow() {
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) move(main->x() + 196, main->y() + 86);
    reportErrors([&] { if (!ClientDataSet1.isOpen()) ClientDataSet1.open(); });
    if (ClientDataSet1.recNo() > 0) cxGrid1->setCurrentIndex(DataSource1->index(ClientDataSet1.recNo() - 1, 0));
}

void TForm5::Button1Click() {
    TForm6* form = editor();
    if (!form || form->isVisible() || !ClientDataSet1.isOpen() || ClientDataSet1.isEmpty()) return;
    form->exec();
    // Stores the editor's save and any cost typed there, whichever button closed it.
    reportErrors([&] { packages_.storeChanges(); });
}

void TForm5::Button2Click() {
    reportErrors([&] { packages_.addPackage(); });
}

void TForm5::Button3Click() {
    reportErrors([&] { packages_.deletePackage(); });
}

}  // namespace kavrin
