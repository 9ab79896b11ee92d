#include "ui/TForm10.h"

#include "billing/Settings.h"
#include "common/Dialogs.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "ui/ReportErrors.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kavrin {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index) {
    if (index < 0) {
        // An exclusive group will not let its checked button go; lift that for the moment.
        group_->setExclusive(false);
        if (QAbstractButton* b = group_->checkedButton()) b->setChecked(false);
        group_->setExclusive(true);
    } else if (QAbstractButton* b = group_->button(index)) {
        b->setChecked(true);
    }
}

void RadioGroup::clickItem(int index) {
    if (QAbstractButton* b = group_->button(index)) b->click();
}

TForm10::TForm10(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Настройки"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    RadioGroup1 = new RadioGroup(QStringLiteral("Валюта"), {QStringLiteral("гривны"), QStringLiteral("рубли")}, this);
    RadioGroup2 = new RadioGroup(QStringLiteral("Автоматческое снятие средств"),
                                 {QStringLiteral("Включено"), QStringLiteral("Выключено")}, this);
    RadioGroup2->setToolTip(QStringLiteral("Если Включено - средства снимаются ежедневно при включении программы, "
                                           "иначе, средства нужно снимать вручную через меню Администрирование"));
    CheckBox1 = new QCheckBox(QStringLiteral("При авто-снятии средств использовать коэфицент"), this);
    CheckBox1->setToolTip(QStringLiteral("Оптимизирует процесс в случае снятя за несколько дней"));
    RadioGroup3 = new RadioGroup(QStringLiteral("Тип порта"), {QStringLiteral("COM"), QStringLiteral("IP")}, this);
    RadioGroup3->setEnabled(false);
    RadioGroup3->setVisible(false);
    CheckBox2 = new QCheckBox(QStringLiteral("При отрицательном балансе округлять до нуля"), this);
    CheckBox3 = new QCheckBox(QStringLiteral("Запускать бекап перед снятием денег"), this);
    CheckBox3->setToolTip(QStringLiteral("Бекап будет включаться при очередном снятии денег. Файл будет сохраняться в "
                                         "директории db_backup"));
    RadioGroup4 = new RadioGroup(QStringLiteral("Период списания средств"),
                                 {QStringLiteral("Ежедневно"), QStringLiteral("Ежемесячно"), QStringLiteral("Никогда")},
                                 this);
    Button1 = new QPushButton(QStringLiteral("Сохранить и выйти"), this);
    Button1->setAutoDefault(false);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    RadioGroup4->setObjectName(QStringLiteral("RadioGroup4"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    Button1->setObjectName(QStringLiteral("Button1"));

    layout->addWidget(RadioGroup1);
    layout->addWidget(RadioGroup2);
    layout->addWidget(CheckBox1);
    layout->addWidget(RadioGroup3);
    layout->addWidget(CheckBox2);
    layout->addWidget(CheckBox3);
    layout->addWidget(RadioGroup4);
    layout->addWidget(Button1);

    // Before the first load: the first items, the coefficient ticked, no billing period.
    showSettings();
    connect(RadioGroup2, &RadioGroup::clicked, this, &TForm10::RadioGroup2Click);
    connect(Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(this, &QDialog::finished, this, &TForm10::FormClose);
}

void TForm10::showSettings() {
    const Settings& s = Settings::current();
    RadioGroup1->setItemIndex(s.currency);
    RadioGroup2->setItemIndex(s.autoCharging);
    CheckBox1->setChecked(s.useCoef);
    CheckBox1->setEnabled(s.automaticChargingOn());
    RadioGroup3->setItemIndex(s.portType);
    CheckBox2->setChecked(s.useAutoNull);
    CheckBox3->setChecked(s.useAutoBackup);
    RadioGroup4->setItemIndex(s.intervalIndex);
}

void TForm10::read_config() {
    settings_store::read_config();
    showSettings();
}

void TForm10::RadioGroup2Click() {
    // The coefficient only matters to automatic charging.
    if (RadioGroup2->itemIndex() == 1) {
        CheckBox1->setEnabled(false);
        CheckBox1->setChecked(false);
    } else {
        CheckBox1->setEnabled(true);
    }
}

void TForm10::Button1Click() {
    if (setManualRunVisible) setManualRunVisible(RadioGroup2->itemIndex() == 1);
    Settings s = Settings::current();
    s.currency = RadioGroup1->itemIndex() == 1 ? 1 : 0;
    s.autoCharging = RadioGroup2->itemIndex() == 1 ? 1 : 0;
    s.useCoef = CheckBox1->isChecked();
    s.portType = RadioGroup3->itemIndex() == 1 ? 1 : 0;
    s.useAutoNull = CheckBox2->isChecked();
    s.useAutoBackup = CheckBox3->isChecked();
    s.intervalIndex = RadioGroup4->itemIndex();
    try {
        settings_store::save(s);
    } catch (const DatabaseError& e) {
        showMessage(e.text());  // nothing was stored; the window stays open with the choices
        return;
    }
    reportErrors([&] {
        // The main window's charging marks now include today's mark.
        if (ClientDataSet& marks = Datasets::shared().charges; marks.isOpen()) marks.refresh();
    });
    accept();
}

void TForm10::FormClose() {
    reportErrors([&] { read_config(); });
}

}  // namespace kavrin
