#include "ui/TForm12.h"

#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Sql.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kavrin {

TForm12::TForm12(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Form12"));
    setModal(true);
    resize(760, 560);
    // The console reads whatever it is given; it never writes rows back.
    ClientDataSet1.setTableName(QString());

    Label1 = new QLabel(
        QStringLiteral("Внимание! Выполнение некорректных запросов может нарушить целостность Базы Данных!"), this);
    Label1->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    Label1->setWordWrap(true);
    cxMemo1 = new QPlainTextEdit(this);
    cxMemo1->setObjectName(QStringLiteral("cxMemo1"));
    cxMemo1->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("Выполнить запрос"), this);
    connect(Button1, &QPushButton::clicked, this, &TForm12::Button1Click);
    DataSource1 = new DataSetModel(ClientDataSet1, {}, this);
    cxGrid1 = new QTableView(this);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    cxGrid1->setModel(DataSource1);
    cxGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(cxMemo1, 1);
    layout->addWidget(Button1, 0, Qt::AlignLeft);
    layout->addWidget(cxGrid1, 3);
}

void TForm12::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm12::FormShow() { cxMemo1->clear(); }

bool TForm12::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cxMemo1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F9) {
        Button1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm12::Button1Click() {
    ClientDataSet1.close();
    ClientDataSet1.setCommandText(cxMemo1->toPlainText());
    try {
        ClientDataSet1.open();
    } catch (const DatabaseError& e) {
        // The old columns stay, without data.
        showMessage(e.text());
        return;
    }
    QVector<DataSetColumn> columns;
    for (int f = 0; f < ClientDataSet1.fieldCount(); ++f) {
        DataSetColumn c;
        c.field = ClientDataSet1.fieldName(f);
        c.caption = c.field;
        c.readOnly = true;
        columns.push_back(c);
    }
    DataSource1->setColumns(columns);
}

}  // namespace kavrin
