#include "ui/TForm7.h"

#include "billing/MoneyOperation.h"
#include "billing/Settings.h"
#include "common/Dialogs.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "register/RegisterSql.h"
#include "register/SubscriberRegister.h"
#include "register/TaskQueue.h"
#include "ui/TForm1.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSqlQuery>

namespace kavrin {
namespace {

// The device learns of the change as a saved register edit would tell it: a subscriber switched off loses
// its channels, one that is (still) on gets its record rewritten with the new balance, one that stays off
// gets nothing.
void queueDeviceTask(qint32 id, bool wasOn, bool isOn) {
    if (!wasOn && !isOn) return;
    SubscriberRegister& reg = SubscriberRegister::shared();
    const int slot = reg.get_ukazatel(id);
    if (slot == 0) return;
    const int slotCount = reg.return_max_id_user_in_mesta();
    QSqlQuery q = execSql(sql::kTaskSource, {id});
    if (!q.next()) return;
    const bool packagePriority = q.value(0).toInt() == 1;
    const int balance = q.value(2).toInt();
    if (!isOn)
        tasks::queueAllChannelsOff(slot, id, slotCount, balance);
    else if (packagePriority)
        tasks::queueFullRecordFromPackage(slot, id, slotCount, balance, q.value(1).toLongLong());
    else
        tasks::queueFullRecord(slot, id, slotCount, id);
}

QLineEdit* digitsEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
    return edit;
}

}  // namespace

TForm7::TForm7(QWidget* parent) : QDialog(parent), ClientDataSet1(Datasets::shared().abons) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Денежные операции"));
    setModal(true);
    auto* layout = new QGridLayout(this);
    DBText1 = new QLabel(this);
    DBText2 = new QLabel(this);
    DBText3 = new QLabel(this);
    RadioButton1 = new QRadioButton(QStringLiteral("+"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("-"), this);
    cxMaskEdit1 = digitsEdit(this);
    cxMaskEdit1->setObjectName(QStringLiteral("cxMaskEdit1"));
    Label1 = new QLabel(this);
    Label1->setMinimumWidth(Label1->fontMetrics().horizontalAdvance(QStringLiteral("руб.")) + 4);
    cxMaskEdit2 = digitsEdit(this);
    cxMaskEdit2->setObjectName(QStringLiteral("cxMaskEdit2"));
    Label2 = new QLabel(QStringLiteral("коп."), this);
    Button1 = new QPushButton(QStringLiteral("Произвести операцию"), this);
    Button1->setAutoDefault(false);  // Enter is handled by the two boxes, once

    layout->addWidget(DBText1, 0, 0);
    layout->addWidget(DBText2, 0, 1);
    layout->addWidget(DBText3, 0, 2, 1, 2);
    layout->addWidget(RadioButton1, 1, 0);
    layout->addWidget(RadioButton2, 2, 0);
    layout->addWidget(cxMaskEdit1, 1, 1, 2, 1);
    layout->addWidget(Label1, 1, 2, 2, 1);
    layout->addWidget(cxMaskEdit2, 1, 3, 2, 1);
    layout->addWidget(Label2, 1, 4, 2, 1);
    layout->addWidget(Button1, 3, 0, 1, 5);

    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    connect(cxMaskEdit1, &QLineEdit::returnPressed, this, &TForm7::Button1Click);
    connect(cxMaskEdit2, &QLineEdit::returnPressed, this, &TForm7::Button1Click);
}

void TForm7::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm7::FormShow() {
    if (TForm1* main = Screens::shared().Form1) move(main->pos() + QPoint(220, 220));
    const bool onRow = ClientDataSet1.isOpen() && !ClientDataSet1.isEmpty();
    DBText1->setText(onRow ? ClientDataSet1.value(QStringLiteral("Id")).toString() : QString());
    DBText2->setText(onRow ? ClientDataSet1.value(QStringLiteral("Name1")).toString() : QString());
    DBText3->setText(onRow ? ClientDataSet1.value(QStringLiteral("Name2")).toString() : QString());
    cxMaskEdit1->clear();
    cxMaskEdit2->clear();
    cxMaskEdit1->setFocus();
    RadioButton1->setChecked(true);
    Label1->setText(Settings::current().currencyName());
}

void TForm7::Button1Click() {
    if (!ClientDataSet1.isOpen() || ClientDataSet1.isEmpty()) return;
    MoneyRequest request;
    request.subscriberId = ClientDataSet1.value(QStringLiteral("Id")).toInt();
    request.units = cxMaskEdit1->text();
    request.kopecks = cxMaskEdit2->text();
    request.credit = RadioButton1->isChecked();
    if (import_date_flag == 1) request.importDate = import_date_text;

    MoneyOperation operation;
    operation.balanceChanged = queueDeviceTask;
    MoneyResult result;
    try {
        result = operation.perform(request);
    } catch (const DatabaseError& e) {
        showMessage(e.text());
        return;
    }
    if (result.status == MoneyResult::BadKopecks) cxMaskEdit2->setFocus();
    if (result.status == MoneyResult::Done) accept();
}

}  // namespace kavrin
