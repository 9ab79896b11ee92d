#include "CServerDlg.h"

#include "Icons.h"

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

CServerDlg::CServerDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ostrel_v1.5"));
    setWindowIcon(ostrel::loadIcon(ostrel::kProgramIcon));
    // A plain window of its own in the task bar, without the "?" button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* caption = new QLabel(QStringLiteral("Enter login and password"), this);
    m_Login = new QLineEdit(QStringLiteral("root"), this);
    m_Login->setObjectName(QStringLiteral("login"));
    m_Password = new QLineEdit(this);
    m_Password->setObjectName(QStringLiteral("password"));
    m_Password->setEchoMode(QLineEdit::Password);
    m_Start = new QPushButton(QStringLiteral("Start Ostrel"), this);
    m_Start->setDefault(true);
    m_Exit = new QPushButton(QStringLiteral("Exit"), this);
    m_Exit->setAutoDefault(false);

    auto* fields = new QVBoxLayout;
    fields->addWidget(caption);
    fields->addWidget(m_Login);
    fields->addWidget(m_Password);
    fields->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_Start);
    buttons->addWidget(m_Exit);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    resize(320, 120);

    m_Password->setFocus();
    connect(m_Start, &QPushButton::clicked, this, &CServerDlg::startRequested);
    connect(m_Exit, &QPushButton::clicked, this, &CServerDlg::exitRequested);
}

QString CServerDlg::login() const { return m_Login->text(); }
QString CServerDlg::password() const { return m_Password->text(); }
void CServerDlg::setPassword(const QString& password) { m_Password->setText(password); }

void CServerDlg::reject() {
    if (m_Running)
        emit exitRequested();
    else
        QDialog::reject();
}

void CServerDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("&About Ostrel..."), this, &CServerDlg::showAbout);
    menu.exec(event->globalPos());
}

void CServerDlg::showAbout() {
    CAboutDlg about(this);
    about.exec();
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Ostrel"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ostrel::loadIcon(ostrel::kProgramIcon).pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Ostrel Version 1.0"), this);
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(ok);
}
