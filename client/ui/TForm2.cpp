#include "ui/TForm2.h"

#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "data/Datasets.h"
#include "register/ChannelNames.h"
#include "register/SubscriberRegister.h"
#include "rights/EffectiveWords.h"
#include "ui/ChannelMatrix.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <climits>

namespace kavrin {

namespace {

constexpr int kHeaderHeight = ChannelMatrix::kScreenHeaderHeight;
constexpr int kFooterHeight = ChannelMatrix::kScreenFooterHeight;

}  // namespace

TForm2::TForm2(QWidget* parent) : TForm2(SubscriberRegister::shared(), parent) {}

TForm2::TForm2(SubscriberRegister& reg, QWidget* parent)
    : QDialog(parent), ClientDataSet1(reg.datasets().channels), reg_(reg) {
    setWindowTitle(QStringLiteral("Список каналов пользователя"));
    setObjectName(QStringLiteral("Form2"));
    resize(1150, 375);
    createControls();
}

void TForm2::createControls() {
    QFont big = font();
    big.setPixelSize(16);
    auto dbText = [&](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setFont(big);
        return l;
    };
    DBText1 = dbText("DBText1");
    DBText2 = dbText("DBText2");
    DBText3 = dbText("DBText3");

    cxCheckBox2 = new QCheckBox(QStringLiteral("Приоритет пакета"), this);
    cxCheckBox1 = new QCheckBox(QStringLiteral("Абонплата"), this);
    cxCheckBox1->setToolTip(QStringLiteral("Начислять постоянную абонплату вне зависимости от выбраных каналов"));
    cxDBSpinEdit1 = new QSpinBox(this);
    cxDBSpinEdit1->setRange(INT_MIN, INT_MAX);
    cxDBSpinEdit1->setToolTip(QStringLiteral("Размер абонплаты (коп) (сохраняется при любом изменении)"));
    connect(cxCheckBox1, &QCheckBox::toggled, this, &TForm2::cxCheckBox1Click);
    connect(cxDBSpinEdit1, &QSpinBox::valueChanged, this, &TForm2::feeEdited);

    matrix = new ChannelMatrix;
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(matrix);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto button = [&](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button("Button1", QStringLiteral("Сохранить"), QStringLiteral("Сохранить выбраные настройки"));
    Button4 = button("Button4", QStringLiteral("Сохранить и Выйти"),
                     QStringLiteral("Сохранить выбраные настройки и выйти из редактора"));
    Button3 = button("Button3", QStringLiteral("Выйти без сохранения"),
                     QStringLiteral("Выйти из редактора без сохранения"));
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setMaxVisibleItems(20);
    DBLookupComboBox1->setMinimumContentsLength(20);
    Button5 = button("Button5", QStringLiteral("Добавить пакет"),
                     QStringLiteral("Добавить клиенту программы выбраного пакета"));
    Button2 = button("Button2", QStringLiteral("Очистить"), QStringLiteral("Отчистить все каналы"));

    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(DBLookupComboBox1, &QComboBox::activated, this, &TForm2::packageChosen);
    placeHeader();
}

void TForm2::placeHeader() {
    const int w = width();
    DBText1->setGeometry(8, 12, 90, 24);
    DBText2->setGeometry(104, 12, 220, 24);
    DBText3->setGeometry(330, 12, 220, 24);
    cxCheckBox2->setGeometry(w - 230, 14, 130, 20);
    cxCheckBox1->setGeometry(w - 100, 2, 95, 20);
    cxDBSpinEdit1->setGeometry(w - 100, 24, 92, 24);
    scroll_->setGeometry(0, kHeaderHeight, w, height() - kHeaderHeight - kFooterHeight);
    int x = 8;
    const int y = height() - kFooterHeight + 8;
    for (QWidget* wdg : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button4),
                         static_cast<QWidget*>(Button3), static_cast<QWidget*>(DBLookupComboBox1),
                         static_cast<QWidget*>(Button5), static_cast<QWidget*>(Button2)}) {
        const int bw = std::max(wdg->sizeHint().width(), 110);
        wdg->setGeometry(x, y, bw, 28);
        x += bw + 8;
    }
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeHeader();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

// ---- Opening ----------------------------------------------------------------------------------------------

void TForm2::fillPackageList() {
    ClientDataSet& packages = reg_.datasets().packages;
    DBLookupComboBox1->clear();
    const int idColumn = packages.fieldIndex(QStringLiteral("Id"));
    const int nameColumn = packages.fieldIndex(QStringLiteral("Name_Paket"));
    for (int row = 0; row < packages.recordCount(); ++row)
        DBLookupComboBox1->addItem(packages.value(row, nameColumn).toString().trimmed(), packages.value(row, idColumn));
    DBLookupComboBox1->setCurrentIndex(
        packages.isEmpty() ? -1 : DBLookupComboBox1->findData(packages.value(QStringLiteral("Id"))));
}

void TForm2::FormShow() {
    ClientDataSet& abons = reg_.abons();
    ClientDataSet& packages = reg_.datasets().packages;
    loading_ = true;

    matrix->placeColumns(ClientDataSet1, matrix_column_width(return_max_len_kanal_name()));

    DBText1->setText(abons.value(QStringLiteral("Id")).toString());
    DBText2->setText(abons.value(QStringLiteral("Name1")).toString());
    DBText3->setText(abons.value(QStringLiteral("Name2")).toString());

    const bool fee = abons.value(QStringLiteral("flag_for_abonplata")).toInt() == 1;
    cxCheckBox1->setChecked(fee);
    cxDBSpinEdit1->setEnabled(fee);
    cxDBSpinEdit1->setValue(abons.value(QStringLiteral("abonplata")).toInt());
    cxCheckBox2->setChecked(abons.value(QStringLiteral("flag_packet_prioritet")).toInt() == 1);

    packages.openOrRefresh();
    packages.locate(QStringLiteral("Id"), abons.value(QStringLiteral("id_selected_packet")));
    fillPackageList();

    can_close = 0;
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect g = main->geometry();
        setGeometry(g.left(), g.top() + 160, g.width(), height());
    }
    placeHeader();

    mas64 = read_flags_to_mas64_CDS1(abons, packages);
    matrix->setWords(mas64);

    ClientDataSet1.openOrRefresh();
    matrix->showChannels(ClientDataSet1);
    loading_ = false;
}

// ---- Save and the other buttons ---------------------------------------------------------------------------

void TForm2::Button1Click() {
    ClientDataSet& abons = reg_.abons();
    ClientDataSet& packages = reg_.datasets().packages;
    if (!abons.isOpen() || abons.isEmpty()) return;
    if (cxDBSpinEdit1->value() < 0) showMessage(QStringLiteral("Внимание! Установлена абонплата меньше нуля!"));
    mas64 = matrix->words();

    packages.openOrRefresh();
    bool priority = cxCheckBox2->isChecked();
    if (priority && packages.isEmpty()) {
        // A priority without a package would leave the subscriber without any device record.
        showMessage(QStringLiteral("Внимание! Список пакетов пуст: приоритет пакета не установлен."));
        priority = false;
        cxCheckBox2->setChecked(false);
    }
    {
        SubscriberRegister::Saving saving(reg_);
        if (abons.state() == ClientDataSet::State::Browse) abons.edit();
        abons.setValue(QStringLiteral("flag_for_abonplata"), cxCheckBox1->isChecked() ? 1 : 0);
        if (priority) {
            abons.setValue(QStringLiteral("flag_packet_prioritet"), 1);
            abons.setValue(QStringLiteral("selected_paket"), DBLookupComboBox1->currentText());
        } else {
            abons.setValue(QStringLiteral("flag_packet_prioritet"), 0);
        }
        abons.setValue(QStringLiteral("id_selected_packet"),
                       packages.isEmpty() ? QVariant(0) : packages.value(QStringLiteral("Id")));
        for (int s = 1; s <= kStreamsInUse; ++s) abons.setValue(QLatin1String(word_column(s)), mas64[size_t(s)]);
        abons.post();
        abons.applyUpdates();
    }
    if (abons.value(QStringLiteral("lock")).toInt() == 1) reg_.rewrite_zap(abons.value(QStringLiteral("Id")).toInt());
    reg_.Button2Click();
}

void TForm2::Button4Click() {
    Button1Click();
    can_close = 1;
    close();
}

void TForm2::Button3Click() {
    can_close = 1;
    close();
}

void TForm2::Button5Click() {
    ClientDataSet& packages = reg_.datasets().packages;
    if (!packages.isOpen() || packages.isEmpty()) return;
    mas64 = read_words(packages);
    matrix->addWords(mas64);
}

void TForm2::Button2Click() { matrix->clearChannels(); }

void TForm2::cxCheckBox1Click() { cxDBSpinEdit1->setEnabled(cxCheckBox1->isChecked()); }

void TForm2::packageChosen(int index) {
    if (index < 0) return;
    reg_.datasets().packages.locate(QStringLiteral("Id"), DBLookupComboBox1->itemData(index));
}

void TForm2::feeEdited(int kopecks) {
    if (loading_) return;
    ClientDataSet& abons = reg_.abons();
    if (!abons.isOpen() || abons.isEmpty()) return;
    // The fee is written straight into the subscriber row; the save or the register's next post stores it.
    abons.setValue(QStringLiteral("abonplata"), kopecks);
}

// ---- Leaving ----------------------------------------------------------------------------------------------

void TForm2::closeEvent(QCloseEvent* event) {
    if (can_close == 0) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm2::reject() {
    if (can_close != 0) QDialog::reject();
}

}  // namespace kavrin
