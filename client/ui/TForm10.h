#pragma once
// The settings window "Настройки": edits the single `config` row and keeps the client-wide copy of it
// (Settings::current()) that the money dialog, the timer and the charging run read.
#include <QDialog>
#include <QGroupBox>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QPushButton;

namespace kavrin {

// A titled group of radio buttons with an item index (-1: none chosen).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
    int itemIndex() const;
    void setItemIndex(int index);
    void clickItem(int index);  // as the user's click does
signals:
    void clicked(int index);

private:
    QButtonGroup* group_;
};

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);

    RadioGroup* RadioGroup1 = nullptr;  // "Валюта"
    RadioGroup* RadioGroup2 = nullptr;  // automatic charging: 0 on, 1 off
    QCheckBox* CheckBox1 = nullptr;     // coefficient
    RadioGroup* RadioGroup3 = nullptr;  // port type, hidden
    QCheckBox* CheckBox2 = nullptr;     // round a negative balance to zero
    QCheckBox* CheckBox3 = nullptr;     // backup before charging
    RadioGroup* RadioGroup4 = nullptr;  // billing period
    QPushButton* Button1 = nullptr;     // "Сохранить и выйти"

    // Makes the manual charging menu item (N13) visible or not; set by the main window.
    std::function<void(bool)> setManualRunVisible;

    // Loads the stored settings into the controls and the client-wide copy. Database errors are thrown.
    void read_config();

public slots:
    void RadioGroup2Click();
    void Button1Click();
    void FormClose();

private:
    void showSettings();
};

}  // namespace kavrin
