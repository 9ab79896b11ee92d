#pragma once
// The login dialog: the database user and password for the client's connection. Nothing is checked here;
// a wrong login shows up as the connection failure.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kavrin {

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);

    QLineEdit* MaskEdit2 = nullptr;  // user name
    QLineEdit* MaskEdit1 = nullptr;  // password
    QPushButton* Button1 = nullptr;  // "Войти"

public slots:
    // Hands the user name and password to the connection and closes the dialog.
    void Button1Click();
};

}  // namespace kavrin
