#pragma once
#include <QComboBox>
#include <QString>

// A drop-down list of the serial ports COM1: .. COM10:. List position k is port index k for CComPort.
// The choice is remembered in the host application's settings (QSettings), section "PortNum",
// key "CPortComboBox<id>", separately for each control identifier, and restored when the control is created.
class CPortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CPortComboBox(int controlId, QWidget* parent = nullptr);
    ~CPortComboBox() override;

    int ControlId() const { return m_ControlId; }

    void Restore();
    void Store();
    // The current list position, -1 when nothing is selected.
    int GetCurr() const;

    void OnCbnSelchange();

protected:
    // Fills the list and restores the stored choice.
    void PreSubclassWindow();
    QString GetStringId() const;

private:
    int m_ControlId;
};
