#include "CPortComboBox.h"

#include <QSettings>

CPortComboBox::CPortComboBox(int controlId, QWidget* parent) : QComboBox(parent), m_ControlId(controlId) {
    PreSubclassWindow();
    // Only the user's choices are stored, as the selection-change notification of a combo box reports them.
    connect(this, &QComboBox::activated, this, [this](int) { OnCbnSelchange(); });
}

CPortComboBox::~CPortComboBox() = default;

void CPortComboBox::PreSubclassWindow() {
    clear();
    for (int i = 0; i < 10; ++i) addItem(QStringLiteral("COM%1:").arg(i + 1), i);
    Restore();
}

QString CPortComboBox::GetStringId() const { return QStringLiteral("CPortComboBox%1").arg(m_ControlId); }

void CPortComboBox::Restore() {
    QSettings settings;
    bool ok = false;
    const int pos = settings.value(QStringLiteral("PortNum/") + GetStringId(), 0).toInt(&ok);
    const int wanted = ok ? pos : 0;
    setCurrentIndex(wanted >= 0 && wanted < count() ? wanted : -1);
}

void CPortComboBox::Store() {
    QSettings settings;
    settings.setValue(QStringLiteral("PortNum/") + GetStringId(), GetCurr());
}

int CPortComboBox::GetCurr() const { return currentIndex(); }

void CPortComboBox::OnCbnSelchange() { Store(); }
