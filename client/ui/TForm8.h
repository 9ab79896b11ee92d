#pragma once
// The money journal window: the journal of the current subscriber, or (report mode) the journal of all
// subscribers over a chosen period. Read-only; exports what it shows.
#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace kavrin {

class ClientDataSet;
class DataSetModel;
class FilterProxyModel;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // 1 only while the window is open from "Другие отчёты".
    int report_mode = 0;

    ClientDataSet& ClientDataSet1;  // operation names (lookup of "Тип операции")
    ClientDataSet& journal;         // the main window's journal dataset (ClientDataSet5)

    QTableView* cxGrid1 = nullptr;
    DataSetModel* DataSource1 = nullptr;
    FilterProxyModel* cxGrid1DBTableView1 = nullptr;
    QLabel* Label1 = nullptr;  // "С"
    QDateEdit* cxDateEdit1 = nullptr;
    QLabel* Label2 = nullptr;  // "ПО"
    QDateEdit* cxDateEdit2 = nullptr;
    QPushButton* Button1 = nullptr;  // "Экспорт в Excel"
    QPushButton* Button2 = nullptr;  // "Выбрать"

    bool idColumnShown() const;

public slots:
    void FormShow();
    void FormClose();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void reopenJournal(const QString& sql, const QVariantList& binds);
    void showPeriodControls(bool on);
};

}  // namespace kavrin
