#pragma once
// The package list: adding and deleting packages, and the way into a package's channel editor.
#include "catalogue/PackageList.h"

#include <QDialog>

class QPushButton;
class QTableView;

namespace kavrin {

class ClientDataSet;
class DataSetModel;
class TForm6;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    // For tests and tools: a package dataset other than the program's, and the channel editor to open.
    TForm5(ClientDataSet& packages, TForm6* editor, QWidget* parent = nullptr);

    ClientDataSet& ClientDataSet1;
    DataSetModel* DataSource1 = nullptr;
    QTableView* cxGrid1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Редактировать список каналов пакета"
    QPushButton* Button2 = nullptr;  // "Добавить пакет"
    QPushButton* Button3 = nullptr;  // "Удалить пакет"

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TForm6* editor() const;

    PackageList packages_;
    TForm6* editor_ = nullptr;
};

}  // namespace kavrin
