#pragma once
// The subscriber channel editor: which channels the register's current subscriber may watch, whether a fixed
// fee replaces the channel prices, and whether a package's channels take precedence over the subscriber's own.
#include "rights/EntitlementWords.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace kavrin {

class ChannelMatrix;
class ClientDataSet;
class SubscriberRegister;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // For tests and tools: a register other than the program's.
    TForm2(SubscriberRegister& reg, QWidget* parent = nullptr);

    ClientDataSet& ClientDataSet1;  // the channel table, shared with the package editor and the charge

    QLabel* DBText1 = nullptr;  // Id
    QLabel* DBText2 = nullptr;  // Name1
    QLabel* DBText3 = nullptr;  // Name2
    ChannelMatrix* matrix = nullptr;  // CheckBox17 .. CheckBox1008, Label17 .. Label1008
    QPushButton* Button1 = nullptr;   // "Сохранить"
    QPushButton* Button4 = nullptr;   // "Сохранить и Выйти"
    QPushButton* Button3 = nullptr;   // "Выйти без сохранения"
    QComboBox* DBLookupComboBox1 = nullptr;  // the package list
    QPushButton* Button5 = nullptr;   // "Добавить пакет"
    QPushButton* Button2 = nullptr;   // "Очистить"
    QCheckBox* cxCheckBox2 = nullptr; // "Приоритет пакета"
    QCheckBox* cxCheckBox1 = nullptr; // "Абонплата"
    QSpinBox* cxDBSpinEdit1 = nullptr;  // the subscriber's abonplata, kopecks

    Mas64 mas64{};
    int can_close = 0;

public slots:
    void FormShow();     // the whole opening; runs on every showing
    void Button1Click(); // save
    void Button4Click(); // save and leave
    void Button3Click(); // leave without saving
    void Button5Click(); // add the chosen package's channels
    void Button2Click(); // clear
    void cxCheckBox1Click();
    // Escape closes only after an exit button.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void fillPackageList();
    void placeHeader();
    void packageChosen(int index);
    void feeEdited(int kopecks);

    SubscriberRegister& reg_;
    QScrollArea* scroll_ = nullptr;
    bool loading_ = false;
};

}  // namespace kavrin
