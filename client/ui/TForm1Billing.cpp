// The main window's billing hooks: the money dialog and journal buttons, the charging timer and run, the
// backup and the settings window.
#include "billing/Backup.h"
#include "billing/ChargingRun.h"
#include "billing/ChargingTimer.h"
#include "billing/Settings.h"
#include "common/Dialogs.h"
#include "data/Sql.h"
#include "io/JournalQueries.h"
#include "register/SubscriberRegister.h"
#include "ui/TForm1.h"
#include "ui/TForm10.h"
#include "ui/TForm7.h"
#include "ui/TForm8.h"
#include "ui/ReportErrors.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace kavrin {

void TForm1::createBillingControls() {
    Button7 = new QPushButton(QStringLiteral("Произвести оплату"), this);
    Button7->setObjectName(QStringLiteral("Button7"));
    Button7->setToolTip(QStringLiteral("Произвести операцию с деньгами для выбраного клиента"));
    Button8 = new QPushButton(QStringLiteral("Приход/Расход"), this);
    Button8->setObjectName(QStringLiteral("Button8"));
    Button8->setToolTip(QStringLiteral("Отобразить начисление и списание средств на счёте"));
    buttonRow->insertWidget(2, Button7);
    buttonRow->insertWidget(3, Button8);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);

    auto* timer = new ChargingTimer(*Timer1, this);
    timer->read_config = [] {
        // An open settings window keeps the operator's unsaved choices; it shows the stored ones when it closes.
        TForm10* settings = Screens::shared().Form10;
        if (settings && !settings->isVisible()) settings->read_config();
        else settings_store::read_config();
    };
    timer->automaticChargingOn = [] { return Settings::current().automaticChargingOn(); };
    timer->Button9Click = [this] { Button9Click(); };
    timer->setManualRunVisible = [this](bool visible) { N13->setVisible(visible); };
}

void TForm1::Button7Click() {
    reportErrors([&] {
        ClientDataSet1.postIfEditing();
        if (TForm7* money = Screens::shared().Form7; money && !money->isVisible()) money->exec();
        ClientDataSet1.refreshIfOpen();
        ClientDataSet5.refreshIfOpen();
    });
}

void TForm1::Button8Click() {
    reportErrors([&] {
        ClientDataSet1.postIfEditing();
        if (TForm8* journal = Screens::shared().Form8; journal && !journal->isVisible()) journal->exec();
        ClientDataSet5.close();
        ClientDataSet5.setParams({});
        ClientDataSet5.setCommandText(journal_sql::kRecent3);
        ClientDataSet5.open();
    });
}

void TForm1::Button9Click() {
    ChargingRun run;
    run.showTask = [this](const QString& text) {
        Label1->setText(text);
        Label1->show();
        repaint();
    };
    run.showBar = [this](int maximum) {
        Gauge1->setRange(1, std::max(1, maximum));
        Gauge1->setValue(1);
        Gauge1->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    run.setBar = [this](int position) {
        Gauge1->setValue(position);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    run.hideProgress = [this] {
        Gauge1->hide();
        Label1->hide();
    };
    run.backup = [this] { return backup(); };
    run.reportEmptied = [] { Datasets::shared().lastRun.refreshIfOpen(); };
    run.passDone = [this] { ClientDataSet1.refreshIfOpen(); };
    run.marksChanged = [this] {
        ClientDataSet6.refreshIfOpen();
        ClientDataSet5.refreshIfOpen();
    };
    run.reload = [this] { N6Click(); };
    try {
        ClientDataSet1.postIfEditing();
    } catch (const DatabaseError& e) {
        showMessage(e.text());
        return;
    }
    run.Button9Click(Settings::current());
}

Backup::Outcome TForm1::backup() {
    Backup b(DumpLogin::fromConnection());
    b.showTask = [this](const QString& text) {
        Label1->setText(text);
        Label1->show();
        repaint();
    };
    b.hideTask = [this] { Label1->hide(); };
    return b.Button10Click();
}

void TForm1::Button10Click() { backup(); }

void TForm1::N13Click() { Button9Click(); }

void TForm1::N7Click() { Button10Click(); }

void TForm1::N9Click() {
    try {
        ClientDataSet1.postIfEditing();
    } catch (const DatabaseError& e) {
        showMessage(e.text());
        return;
    }
    TForm10* settings = Screens::shared().Form10;
    if (!settings || settings->isVisible()) return;
    settings->setManualRunVisible = [this](bool visible) { N13->setVisible(visible); };
    settings->exec();
}

}  // namespace kavrin
