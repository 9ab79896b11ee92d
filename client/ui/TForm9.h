#pragma once
// The write-off report: the charges of the latest charging run (table tmp_ot4et). Read-only; exports what
// it shows.
#include <QDialog>

class QPushButton;
class QTableView;

namespace kavrin {

class ClientDataSet;
class DataSetModel;
class FilterProxyModel;

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    ClientDataSet& ClientDataSet1;  // the last-run report dataset, shared with the charging run
    QTableView* cxGrid1 = nullptr;
    DataSetModel* DataSource1 = nullptr;
    FilterProxyModel* cxGrid1DBTableView1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Экспорт таблицы в Excel"

public slots:
    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace kavrin
