// Ostrel, the task server: a login dialog, then a tray icon while the worker carries the queued tasks to the
// head-end.
//   Ostrel            the dialog; the operator types the password and presses "Start Ostrel"
//   Ostrel --start    presses Start at once with the password read from the first line of standard input
//                     (for service scripts; a password never goes on the command line)
#include "CServerDlg.h"
#include "CTaskLink.h"
#include "Icons.h"
#include "ServerShell.h"
#include "StopSignals.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // First of all, so that a stop arriving during start-up is not lost.
    ostrel::StopSignals stopSignals;
    QApplication::setApplicationName(QStringLiteral("Ostrel"));
    QApplication::setWindowIcon(ostrel::loadIcon(ostrel::kProgramIcon));
    // The dialog is hidden while the tray icon stands for the program; only the shutdown sequence ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    bool autoStart = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--start") {
            autoStart = true;
        } else {
            std::fprintf(stderr, "usage: %s [--start]   (--start reads the password from standard input)\n", argv[0]);
            return 2;
        }
    }

    CServerDlg dialog;
    ostrel::ServerShell shell(dialog, std::filesystem::current_path(), ostrel::serialLinkFactory(),
                              [](int status) { QCoreApplication::exit(status); });
    QObject::connect(&stopSignals, &ostrel::StopSignals::stopRequested, &shell, &ostrel::ServerShell::Shutdown);
    // Closing the dialog before Start ends the program; nothing is connected yet.
    QObject::connect(&dialog, &QDialog::rejected, &app, [] { QCoreApplication::exit(0); });

    dialog.show();
    if (autoStart) {
        std::string password;
        std::getline(std::cin, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
        dialog.setPassword(QString::fromStdString(password));
        QTimer::singleShot(0, &shell, &ostrel::ServerShell::Start);
    }
    return app.exec();
}
