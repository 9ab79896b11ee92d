#pragma once
// The street editor: the names from which a subscriber's street is chosen in the register.
#include "catalogue/StreetList.h"

#include <QDialog>

class QPushButton;
class QTableView;

namespace kavrin {

class ClientDataSet;
class DataSetModel;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    // For tests and tools: datasets other than the program's (the editor's and the register's street list).
    TForm4(ClientDataSet& streets, ClientDataSet& registerStreets, QWidget* parent = nullptr);

    ClientDataSet& ClientDataSet1;
    DataSetModel* DataSource1 = nullptr;
    QTableView* cxGrid1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Добавить улицу"
    QPushButton* Button2 = nullptr;  // "Удалить улицу"

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    // Closing stores a pending name and refreshes the register's street list; a name that cannot be
    // stored keeps the editor open.
    bool FormCloseQuery();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    StreetList streets_;
};

}  // namespace kavrin
