#pragma once
// The package channel editor: the name, cost and channel matrix of the package on which the package list
// stands. Leaves only through its two exit buttons.
#include "catalogue/PackageList.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace kavrin {

class ChannelMatrix;
class ClientDataSet;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    // For tests and tools: package and channel datasets other than the program's.
    TForm6(ClientDataSet& packages, ClientDataSet& channels, QWidget* parent = nullptr);

    ClientDataSet& packageList;  // TForm5's ClientDataSet1
    ClientDataSet& channelList;  // TForm2's ClientDataSet1

    QLabel* cxLabel1 = nullptr;        // "Имя пакета"
    QLineEdit* Edit1 = nullptr;        // the package name while the screen is open
    QLabel* Label1 = nullptr;          // "Стоимость пакета (коп)"
    QSpinBox* cxDBSpinEdit1 = nullptr; // paket_cost, written through at every change
    ChannelMatrix* matrix = nullptr;   // CheckBox17 .. CheckBox1008, Label17 .. Label1008
    QPushButton* Button2 = nullptr;    // "Сохранить"
    QPushButton* Button4 = nullptr;    // "Сохранить и Выйти"
    QPushButton* Button3 = nullptr;    // "Выйти без сохранения"

    int can_close = 0;

public slots:
    void FormShow();      // the whole opening; runs on every showing
    bool Button2Click();  // save; false when the name was refused
    void Button4Click();  // save and leave (stays open when the save was refused)
    void Button3Click();  // leave without saving
    // Escape closes only after an exit button.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeControls();
    void costEdited(int kopecks);

    PackageList packages_;
    QScrollArea* scroll_ = nullptr;
    bool loading_ = false;
};

}  // namespace kavrin
