// The entry of every test program: a Qt application on the offscreen platform, Russian regional settings
// (comma decimal separator, dd.MM.yyyy dates), and scripted dialogs so that no test ever waits on a window.
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    kavrin::test::ScriptedDialogs fallback;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
