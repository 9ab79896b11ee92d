#pragma once
// The money dialog "Денежные операции": puts money on the current subscriber's balance or takes it off.
// The payments import drives it without showing it: it fills the two boxes and the direction, sets the
// import date, and calls Button1Click.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kavrin {

class ClientDataSet;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    ClientDataSet& ClientDataSet1;    // the register; the operation acts on its current row
    QLabel* DBText1 = nullptr;        // Id
    QLabel* DBText2 = nullptr;        // surname
    QLabel* DBText3 = nullptr;        // first name
    QRadioButton* RadioButton1 = nullptr;  // "+": money in
    QRadioButton* RadioButton2 = nullptr;  // "-"
    QLineEdit* cxMaskEdit1 = nullptr;      // whole units, digits only
    QLabel* Label1 = nullptr;              // currency
    QLineEdit* cxMaskEdit2 = nullptr;      // kopecks, digits only
    QLabel* Label2 = nullptr;              // "коп."
    QPushButton* Button1 = nullptr;        // "Произвести операцию"

    // Set by the payments import around its call: the journal row then carries this date.
    int import_date_flag = 0;
    QString import_date_text;

public slots:
    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace kavrin
