#pragma once
// The behaviour of the filter row under the register grid: Enter in a box applies the filter, a "." typed
// in the balance box becomes ",", "Фильтрация" builds and activates the filter, "Очистить" removes it. The
// active filter's texts are shown in the window's status bar.
#include "io/SubscriberFilter.h"

#include <QObject>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace kavrin {

class FilterProxyModel;
class TForm1;

struct FilterRowWidgets {
    QLineEdit* cxMaskEdit1 = nullptr;  // ID
    QLineEdit* cxTextEdit1 = nullptr;  // Фамилия
    QLineEdit* cxTextEdit2 = nullptr;  // Имя
    QLineEdit* cxTextEdit3 = nullptr;  // Отчество
    QLineEdit* cxTextEdit4 = nullptr;  // Улица
    QLineEdit* cxTextEdit5 = nullptr;  // Дом
    QLineEdit* cxTextEdit6 = nullptr;  // /
    QLineEdit* cxTextEdit7 = nullptr;  // Кв.
    QLineEdit* cxTextEdit8 = nullptr;  // Тел.
    QLineEdit* cxTextEdit9 = nullptr;  // Моб.
    QDateEdit* cxDateEdit1 = nullptr;  // Дата; its minimum date reads as empty
    QComboBox* cxComboBox1 = nullptr;  // "все", "вкл", "выкл"
    QLineEdit* cxMaskEdit2 = nullptr;  // Счёт
    QLineEdit* cxTextEdit10 = nullptr; // Коммент (Enter does not apply)
    QPushButton* Button4 = nullptr;    // "Фильтрация"
    QPushButton* Button5 = nullptr;    // "Очистить"
};

class FilterRow : public QObject {
    Q_OBJECT
public:
    // `status` (may be null) shows the active filter.
    FilterRow(const FilterRowWidgets& w, FilterProxyModel& view, QStatusBar* status, QObject* parent = nullptr);

    // Hooks the filter row of the main window.
    static FilterRow* attach(TForm1& form);

    FilterBoxes boxes() const;

public slots:
    void Button4Click();
    void Button5Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FilterRowWidgets w_;
    FilterProxyModel& view_;
    QStatusBar* status_;
};

}  // namespace kavrin
