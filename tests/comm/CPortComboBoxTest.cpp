// The port selector: its list, and the choice remembered per control in the host's settings.
#include "CPortComboBox.h"
#include "TempWorkDir.h"

#include <QCoreApplication>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

class PortComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        QCoreApplication::setOrganizationName(QStringLiteral("kavrin-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("port-selector"));
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir.path().string()));
    }
    static QVariant stored(int id) { return QSettings().value(QStringLiteral("PortNum/CPortComboBox%1").arg(id)); }

    simtest::TempWorkDir dir;
};

TEST_F(PortComboBoxTest, ListsTenPortsWhosePositionIsThePortIndex) {
    CPortComboBox box(1001);
    ASSERT_EQ(box.count(), 10);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(box.itemText(k), QStringLiteral("COM%1:").arg(k + 1));
        EXPECT_EQ(box.itemData(k).toInt(), k);
    }
    EXPECT_EQ(box.GetCurr(), 0);  // never used before: COM1:
    EXPECT_FALSE(stored(1001).isValid());
}

TEST_F(PortComboBoxTest, AUserChoiceIsStoredAndRestoredPerControl) {
    {
        CPortComboBox box(1001);
        box.setCurrentIndex(2);
        emit box.activated(2);  // as when the user picks COM3:
        EXPECT_EQ(stored(1001).toInt(), 2);
    }
    CPortComboBox again(1001), other(1002);
    EXPECT_EQ(again.GetCurr(), 2);
    EXPECT_EQ(again.currentText(), QStringLiteral("COM3:"));
    EXPECT_EQ(other.GetCurr(), 0);

    other.setCurrentIndex(5);  // a change made by the program is not a user choice
    EXPECT_FALSE(stored(1002).isValid());
}

TEST_F(PortComboBoxTest, AStoredPositionOutsideTheListSelectsNothing) {
    QSettings().setValue(QStringLiteral("PortNum/CPortComboBox7"), 12);
    CPortComboBox box(7);
    EXPECT_EQ(box.GetCurr(), -1);
    box.Store();
    EXPECT_EQ(stored(7).toInt(), -1);
}

}  // namespace
