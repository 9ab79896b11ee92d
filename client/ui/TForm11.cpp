#include "ui/TForm11.h"

#include "startup/DatabaseConnection.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavrin {

TForm11::TForm11(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Введите пароль"));
    setObjectName(QStringLiteral("Form11"));
    MaskEdit2 = new QLineEdit(QStringLiteral("root"), this);
    MaskEdit2->setObjectName(QStringLiteral("MaskEdit2"));
    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setEchoMode(QLineEdit::Password);
    Button1 = new QPushButton(QStringLiteral("Войти"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    // Enter is handled by the edit boxes themselves, so the button must not also react as the default.
    Button1->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Пользователь"), MaskEdit2);
    form->addRow(QStringLiteral("Пароль"), MaskEdit1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    setMinimumWidth(280);

    connect(Button1, &QPushButton::clicked, this, &TForm11::Button1Click);
    connect(MaskEdit1, &QLineEdit::returnPressed, this, &TForm11::Button1Click);
    connect(MaskEdit2, &QLineEdit::returnPressed, this, &TForm11::Button1Click);
    MaskEdit1->setFocus();
}

void TForm11::Button1Click() {
    DatabaseConnection::shared().setLogin(MaskEdit2->text(), MaskEdit1->text());
    accept();
}

}  // namespace kavrin
