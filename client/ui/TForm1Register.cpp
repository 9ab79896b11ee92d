// The register on the main window: its navigator and buttons, the channel editor and renumbering buttons,
// posting a pending row when the focus leaves the grid or the menu opens, the apply step and the reload with
// its progress line. The work itself is SubscriberRegister's.
#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"
#include "register/SubscriberRegister.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace kavrin {

namespace {

using State = ClientDataSet::State;

// True when `w` is `ancestor` or lies inside it, popups (editor calendars, drop-down lists) included.
bool inside(const QWidget* w, const QWidget* ancestor) {
    for (; w; w = w->parentWidget())
        if (w == ancestor) return true;
    return false;
}

}  // namespace

void TForm1::createRegisterControls() {
    SubscriberRegister& reg = SubscriberRegister::shared();
    reg.sortGridById = [this] { cxGrid2->sortByColumn(cxGrid2DBTableView1Id, Qt::AscendingOrder); };

    // The navigator: moving, adding, deleting, editing, posting and cancelling the register's rows.
    cxNavigator1 = new QWidget(this);
    cxNavigator1->setObjectName(QStringLiteral("cxNavigator1"));
    auto* buttons = new QHBoxLayout(cxNavigator1);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(1);
    const auto navigatorButton = [&](const char* name, const QString& text, const QString& hint, auto action) {
        auto* b = new QToolButton(cxNavigator1);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(hint);
        b->setMinimumWidth(28);
        connect(b, &QToolButton::clicked, this, action);
        buttons->addWidget(b);
    };
    ClientDataSet& ds = ClientDataSet1;
    navigatorButton("First", QStringLiteral("|◀"), QStringLiteral("Первая запись"), [&ds] { ds.first(); });
    navigatorButton("Prior", QStringLiteral("◀"), QStringLiteral("Предыдущая запись"), [&ds] { ds.prior(); });
    navigatorButton("Next", QStringLiteral("▶"), QStringLiteral("Следующая запись"), [&ds] { ds.next(); });
    navigatorButton("Last", QStringLiteral("▶|"), QStringLiteral("Последняя запись"), [&ds] { ds.last(); });
    navigatorButton("Insert", QStringLiteral("+"), QStringLiteral("Добавить запись"), [this, &ds] {
        if (!ds.isOpen()) return;
        ds.insert();
        if (ds.state() != State::Insert) return;
        // The operator goes on typing in the first cell of the new row.
        const QModelIndex shown =
            cxGrid2DBTableView1->mapFromSource(DataSource5->index(ds.recNo() - 1, cxGrid2DBTableView1Name1));
        if (shown.isValid()) cxGrid2->setCurrentIndex(shown);
        cxGrid2->setFocus();
    });
    navigatorButton("Delete", QStringLiteral("−"), QStringLiteral("Удалить запись"), [&ds] {
        if (!ds.isOpen() || ds.isEmpty()) return;
        if (Dialogs::current().question(QStringLiteral("Удалить запись?"), QStringLiteral("Внимание"), Buttons::YesNo,
                                        Icon::Warning) == Answer::No)
            return;
        ds.deleteRecord();
    });
    navigatorButton("Edit", QStringLiteral("✎"), QStringLiteral("Редактировать запись"), [&ds] {
        if (ds.isOpen() && !ds.isEmpty()) ds.edit();
    });
    navigatorButton("Post", QStringLiteral("✔"), QStringLiteral("Сохранить изменения"), [&ds] { ds.post(); });
    navigatorButton("Cancel", QStringLiteral("✖"), QStringLiteral("Отменить изменения"), [&ds] { ds.cancel(); });
    navigatorRow->addWidget(cxNavigator1);
    navigatorRow->addStretch(1);

    const auto button = [this](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        return b;
    };
    Button1 = button("Button1", QStringLiteral("Список каналов"),
                     QStringLiteral("Показать список каналов для данного клиента"));
    Button3 = button("Button3", QStringLiteral("Изменить ID"), QStringLiteral("Корректировать номер ID выбраного клиента"));
    buttonRow->insertWidget(0, Button1);
    buttonRow->insertWidget(1, Button3);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);

    // Posting triggers: the focus moving from the grid to another control of this window (popups of the grid's
    // editors count as inside; a message box or dialog over the window does not take the row away), and the menu.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old && now && now->window() == this && inside(old, cxGrid2) && !inside(now, cxGrid2)) cxGrid2Exit();
    });
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &TForm1::MainMenu1Change);
}

void TForm1::cxGrid2Exit() {
    ClientDataSet1.postIfEditing();
}

void TForm1::MainMenu1Change() {
    ClientDataSet1.postIfEditing();
}

void TForm1::Button1Click() {
    if (!ClientDataSet1.isOpen() || ClientDataSet1.isEmpty()) return;
    ClientDataSet1.postIfEditing();
    TForm2* editor = Screens::shared().Form2;
    if (editor && !editor->isVisible()) editor->exec();
}

void TForm1::Button3Click() { SubscriberRegister::shared().Button3Click(); }

void TForm1::Button2Click() { SubscriberRegister::shared().Button2Click(); }

void TForm1::N6Click() {
    ClientDataSet1.postIfEditing();
    ReloadProgress progress;
    progress.started = [this](int total) {
        Label1->setText(QStringLiteral("Задача: Перезагрузка базы"));
        Label1->show();
        repaint();
        Gauge1->setRange(1, total);
        Gauge1->setValue(1);
        Gauge1->show();
    };
    progress.advanced = [this](int handled) {
        Gauge1->setValue(handled);
        Gauge1->repaint();
    };
    progress.finished = [this] {
        Gauge1->hide();
        Label1->hide();
    };
    SubscriberRegister::shared().N6Click(progress);
}

}  // namespace kavrin
