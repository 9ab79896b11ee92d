#pragma once
// The main window: the subscriber register, its filter row, the progress line and the main menu, the entry
// point to every other screen. Its widgets and datasets are public so that the other screens reach them by
// their usual names.
//
// Sources: TForm1.cpp (creation, show, exit, version), TForm1Grid.cpp (the register grid and the filter row
// layout), TForm1Menu.cpp (menu handlers of the other areas).
#include "billing/Backup.h"
#include "data/Datasets.h"
#include "startup/DatabaseConnection.h"
#include "startup/ResizeFile.h"

#include <QMainWindow>
#include <array>

class QAction;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class QVBoxLayout;

namespace kavrin {

class DataSetModel;
class FilterProxyModel;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm12;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Register grid columns, left to right (also the order of the widths in resize.dat).
    enum Column {
        cxGrid2DBTableView1Id,
        cxGrid2DBTableView1Name1,
        cxGrid2DBTableView1Name2,
        cxGrid2DBTableView1Name3,
        cxGrid2DBTableView1N_Street,
        cxGrid2DBTableView1Dom,
        cxGrid2DBTableView1Drob,
        cxGrid2DBTableView1Kvartira,
        cxGrid2DBTableView1Tel,
        cxGrid2DBTableView1Mob,
        cxGrid2DBTableView1Data_Create,
        cxGrid2DBTableView1lock,
        cxGrid2DBTableView1money_new,
        cxGrid2DBTableView1Comment,
        ColumnCount
    };
    static_assert(ColumnCount == kResizeColumnCount);

    // The connection and the main window's datasets.
    DatabaseConnection& SQLConnection1 = DatabaseConnection::shared();
    ClientDataSet& ClientDataSet1 = Datasets::shared().abons;     // register
    ClientDataSet& ClientDataSet2 = Datasets::shared().streets;   // streets (lookup of "Улица")
    ClientDataSet& ClientDataSet3 = Datasets::shared().tasks;     // task queue
    ClientDataSet& ClientDataSet4 = Datasets::shared().slotMap;   // device slots
    ClientDataSet& ClientDataSet5 = Datasets::shared().journal;   // money journal
    ClientDataSet& ClientDataSet6 = Datasets::shared().charges;   // charging runs
    ClientDataSet& ClientDataSet7 = Datasets::shared().scratch;   // scratch query

    // Register grid: the view, the model over ClientDataSet1 and the sorting/filtering proxy between them.
    QTableView* cxGrid2 = nullptr;
    DataSetModel* DataSource5 = nullptr;
    FilterProxyModel* cxGrid2DBTableView1 = nullptr;

    // Where the register's navigator and the buttons under the grid go (Button1, Button3, Button6 .. Button10).
    QHBoxLayout* navigatorRow = nullptr;
    QHBoxLayout* buttonRow = nullptr;

    // The register's navigator and buttons (TForm1Register.cpp).
    QWidget* cxNavigator1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Список каналов"
    QPushButton* Button3 = nullptr;  // "Изменить ID"
    // Money (TForm1Billing.cpp).
    QPushButton* Button7 = nullptr;  // "Произвести оплату"
    QPushButton* Button8 = nullptr;  // "Приход/Расход"
    // Export of the list (TForm1Io.cpp).
    QPushButton* Button6 = nullptr;  // "Вывести список в Excel"

    // Filter row under the grid, one box per column.
    QWidget* filterRow = nullptr;
    QLineEdit* cxMaskEdit1 = nullptr;  // ID, digits only
    QLineEdit* cxTextEdit1 = nullptr;  // Фамилия
    QLineEdit* cxTextEdit2 = nullptr;  // Имя
    QLineEdit* cxTextEdit3 = nullptr;  // Отчество
    QLineEdit* cxTextEdit4 = nullptr;  // Улица
    QLineEdit* cxTextEdit5 = nullptr;  // Дом
    QLineEdit* cxTextEdit6 = nullptr;  // /
    QLineEdit* cxTextEdit7 = nullptr;  // Кв.
    QLineEdit* cxTextEdit8 = nullptr;  // Тел.
    QLineEdit* cxTextEdit9 = nullptr;  // Моб.
    QDateEdit* cxDateEdit1 = nullptr;  // Дата; its minimum date shows as empty
    QComboBox* cxComboBox1 = nullptr;  // Вкл: "все", "вкл", "выкл"
    QLineEdit* cxMaskEdit2 = nullptr;  // Счёт
    QLineEdit* cxTextEdit10 = nullptr; // Коммент
    QPushButton* Button4 = nullptr;    // "Фильтрация"
    QPushButton* Button5 = nullptr;    // "Очистить"

    // Progress line of long tasks (hidden until one runs).
    QLabel* Label1 = nullptr;
    QProgressBar* Gauge1 = nullptr;

    // Charging timer: created stopped with a one-second interval, started once the register is open.
    QTimer* Timer1 = nullptr;

    // Main menu.
    QMenu* MainMenu1File = nullptr;
    QMenu* MainMenu1Admin = nullptr;
    QAction* Excel1 = nullptr;
    QAction* N8 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* N3 = nullptr;
    QAction* N15 = nullptr;
    QAction* N14 = nullptr;
    QAction* N16 = nullptr;
    QAction* N6 = nullptr;
    QAction* N13 = nullptr;
    QAction* N10 = nullptr;
    QAction* N7 = nullptr;
    QAction* MySQL1 = nullptr;
    QAction* N12 = nullptr;
    QAction* N9 = nullptr;
    QAction* N11 = nullptr;

    // Places the filter boxes under their columns, each as wide as its column, and the two filter buttons.
    void layoutFilterRow();
    // The widths of the register columns, left to right.
    std::array<int, ColumnCount> columnWidths() const;

public slots:
    // Lifecycle. FormShow runs once, just after the window first appears: login, connection, datasets.
    void FormShow();
    // The exit sequence; false refuses closing. resize.dat is written in every case.
    bool FormCloseQuery();
    void Label1Click();

    // The apply step: sends the register's, the slots' and the journal's changes, then re-reads the register.
    void Button2Click();
    // The register (TForm1Register.cpp): channel editor, renumbering, and posting a pending row when the
    // focus leaves the grid or the main menu opens.
    void Button1Click();
    void Button3Click();
    void cxGrid2Exit();
    void MainMenu1Change();
    // Billing (TForm1Billing.cpp): the money dialog, the journal, the charging run and the backup.
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    // Reports, exports, imports, the SQL console and the list filter (TForm1Io.cpp).
    void Button6Click();

    // Main menu.
    void Excel1Click();
    void N8Click();
    void N4Click();
    void N5Click();
    void N3Click();
    void N15Click();
    void N14Click();
    void N16Click();
    void N6Click();
    void N13Click();
    void N10Click();
    void N7Click();
    void MySQL1Click();
    void N12Click();
    void N9Click();
    void N11Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void createMenu();
    void createGrid(QVBoxLayout* layout);
    void createFilterRow(QVBoxLayout* layout);
    void createProgressLine();
    void createRegisterControls();
    void createBillingControls();
    void createIoControls();
    Backup::Outcome backup();
    void restoreLayout();
    void saveLayout();

    bool shown_ = false;
    bool started_ = false;
};

// The twelve screens, created at start in this order (main window first) and living until exit.
struct Screens {
    TForm1* Form1 = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    TForm10* Form10 = nullptr;
    TForm11* Form11 = nullptr;
    TForm12* Form12 = nullptr;

    static Screens& shared();
};

}  // namespace kavrin
