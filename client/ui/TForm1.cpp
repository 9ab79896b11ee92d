#include "ui/TForm1.h"

#include "common/Dialogs.h"
#include "data/DataSetModel.h"
#include "data/Sql.h"
#include "startup/DatabaseStartup.h"
#include "ui/TForm11.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace kavrin {
namespace {

constexpr int kDesignLeft = 30;
constexpr int kDesignTop = 30;
constexpr int kDesignWidth = 1060;
constexpr int kDesignHeight = 640;

const QString kVersionMessage = QStringLiteral("Версия 2.18 от 26.02.2013");
const QString kSaveQuestion = QStringLiteral("Сохранить изменения?");
const QString kAttentionCaption = QStringLiteral("Внимание");

QString resizeFilePath() { return QDir::current().filePath(kResizeFileName); }

QRect desktopArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableVirtualGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

Screens& Screens::shared() {
    static Screens screens;
    return screens;
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Kavrin"));
    setObjectName(QStringLiteral("Form1"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(4);
    createMenu();
    createGrid(layout);
    navigatorRow = new QHBoxLayout;
    navigatorRow->setContentsMargins(4, 0, 4, 0);
    layout->addLayout(navigatorRow);
    createFilterRow(layout);
    buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(4, 0, 4, 0);
    layout->addLayout(buttonRow);
    createProgressLine();
    createRegisterControls();
    setCentralWidget(central);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    createBillingControls();
    createIoControls();

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    resize(kDesignWidth, kDesignHeight);
    move(kDesignLeft, kDesignTop);
    restoreLayout();
}

void TForm1::createProgressLine() {
    Label1 = new QLabel(QStringLiteral("Задача:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont small = Label1->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    Label1->setFont(small);
    Label1->setStyleSheet(QStringLiteral("color: red;"));
    Label1->installEventFilter(this);
    Label1->hide();
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setMinimumWidth(200);
    Gauge1->hide();
    buttonRow->addStretch(1);
    buttonRow->addWidget(Label1);
    buttonRow->addWidget(Gauge1);
}

void TForm1::createMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    MainMenu1File = bar->addMenu(QStringLiteral("Файл"));
    Excel1 = item(MainMenu1File, "Excel1", QStringLiteral("Вывести список в Excel"), &TForm1::Excel1Click);
    N8 = item(MainMenu1File, "N8", QStringLiteral("Выход"), &TForm1::N8Click);

    MainMenu1Admin = bar->addMenu(QStringLiteral("Администрирование"));
    N4 = item(MainMenu1Admin, "N4", QStringLiteral("Редактор улиц"), &TForm1::N4Click);
    N5 = item(MainMenu1Admin, "N5", QStringLiteral("Редактор каналов"), &TForm1::N5Click);
    N3 = item(MainMenu1Admin, "N3", QStringLiteral("Редактор пакетов"), &TForm1::N3Click);
    N15 = item(MainMenu1Admin, "N15", QStringLiteral("Загрузить платежи из файла"), &TForm1::N15Click);
    N14 = item(MainMenu1Admin, "N14", QStringLiteral("Загрузить новых абонентов из файла"), &TForm1::N14Click);
    N16 = item(MainMenu1Admin, "N16", QStringLiteral("Модифицировать абонентов из файла"), &TForm1::N16Click);
    N6 = item(MainMenu1Admin, "N6", QStringLiteral("Перезагрузка базы"), &TForm1::N6Click);
    N13 = item(MainMenu1Admin, "N13", QStringLiteral("Произвести списание средств вручную"), &TForm1::N13Click);
    N13->setVisible(false);
    N10 = item(MainMenu1Admin, "N10", QStringLiteral("Отобразить отчёт последнего снятия денег"), &TForm1::N10Click);
    N7 = item(MainMenu1Admin, "N7", QStringLiteral("Запустить бекап"), &TForm1::N7Click);
    MySQL1 = item(MainMenu1Admin, "MySQL1", QStringLiteral("Выполнить MySQL запрос"), &TForm1::MySQL1Click);
    N12 = item(MainMenu1Admin, "N12", QStringLiteral("Другие отчёты"), &TForm1::N12Click);
    N9 = item(MainMenu1Admin, "N9", QStringLiteral("Настройки"), &TForm1::N9Click);

    N11 = bar->addAction(QStringLiteral("Версия"));
    N11->setObjectName(QStringLiteral("N11"));
    connect(N11, &QAction::triggered, this, &TForm1::N11Click);
}

void TForm1::restoreLayout() {
    const std::optional<QList<qint32>> values = readResizeFile(resizeFilePath());
    if (!values) return;
    const SavedLayout saved = saneLayout(*values, desktopArea());
    move(saved.left.value_or(x()), saved.top.value_or(y()));
    if (saved.clientWidth) resize(*saved.clientWidth, height());
    for (int c = 0; c < ColumnCount; ++c) {
        if (saved.columnWidths[c]) cxGrid2->horizontalHeader()->resizeSection(c, *saved.columnWidths[c]);
    }
    layoutFilterRow();
}

void TForm1::saveLayout() {
    writeResizeFile(resizeFilePath(), resizeValues(x(), y(), width(), height(), columnWidths()));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // After the window is on screen, so that the login dialog and any message appear over it.
    QTimer::singleShot(0, this, &TForm1::FormShow);
}

void TForm1::FormShow() {
    if (started_) return;
    started_ = true;
    if (TForm11* login = Screens::shared().Form11; login && !login->isVisible()) login->exec();
    const StartupOutcome outcome = openDatabase(SQLConnection1, QDir::currentPath());
    if (outcome.closeWindow) {
        close();
        return;
    }
    Timer1->start();
    cxGrid2->setFocus();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    Timer1->stop();
    event->accept();
}

bool TForm1::FormCloseQuery() {
    bool canClose = true;
    try {
        ClientDataSet1.postIfEditing();
        if (ClientDataSet1.changeCount() > 0) {
            switch (Dialogs::current().question(kSaveQuestion, kAttentionCaption, Buttons::YesNoCancel, Icon::Warning)) {
            case Answer::Cancel: canClose = false; break;
            case Answer::Yes:
                Button2Click();
                canClose = ClientDataSet1.changeCount() == 0;
                break;
            default: break;
            }
        }
    } catch (const std::exception& e) {
        // A row that cannot be saved keeps the program open: closing would drop it without a word.
        const auto* db = dynamic_cast<const DatabaseError*>(&e);
        Dialogs::current().message(db ? db->text() : QString::fromUtf8(e.what()), {}, Icon::Error);
        canClose = false;
    }
    saveLayout();
    return canClose;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label1Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::Label1Click() { Label1->hide(); }

void TForm1::N8Click() { close(); }

void TForm1::N11Click() { showMessage(kVersionMessage); }

}  // namespace kavrin
