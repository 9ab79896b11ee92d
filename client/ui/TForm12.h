#pragma once
// The SQL console: any SQL text typed by the administrator is sent as it is over the client's connection,
// and the grid is rebuilt from the result's fields.
#include "data/ClientDataSet.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace kavrin {

class DataSetModel;

class TForm12 : public QDialog {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);

    ClientDataSet ClientDataSet1{QStringLiteral("select * from abons")};
    DataSetModel* DataSource1 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* cxMemo1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Выполнить запрос"
    QTableView* cxGrid1 = nullptr;

public slots:
    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kavrin
