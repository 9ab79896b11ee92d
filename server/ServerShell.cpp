#include "ServerShell.h"

#include "CServerDlg.h"
#include "Icons.h"
#include "TaskWorker.h"
#include "common/Dialogs.h"

#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QThread>
#include <cstdio>

namespace ostrel {

namespace messages {
QString configOpenError(const QString& path, const std::string& reason) {
    return QStringLiteral("Не удаётся открыть файл %1: %2").arg(path, QString::fromLocal8Bit(reason.c_str()));
}
}  // namespace messages

ServerShell::ServerShell(CServerDlg& dialog, std::filesystem::path folder, TaskLinkFactory links,
                         std::function<void(int)> endProcess)
    : m_Dialog(dialog), m_Folder(std::move(folder)), m_Links(std::move(links)), m_EndProcess(std::move(endProcess)),
      m_TrayAvailable(QSystemTrayIcon::isSystemTrayAvailable()) {
    m_TrayMenu = std::make_unique<QMenu>();
    m_TrayMenu->addAction(QStringLiteral("EXIT"), this, &ServerShell::Shutdown);
    m_StopWait.setInterval(100);
    connect(&m_StopWait, &QTimer::timeout, this, [this] {
        if (!m_Worker.joinable() || m_WorkerDone.load()) finishShutdown();
    });
    connect(&m_Dialog, &CServerDlg::startRequested, this, &ServerShell::Start);
    connect(&m_Dialog, &CServerDlg::exitRequested, this, &ServerShell::Shutdown);
}

ServerShell::~ServerShell() {
    // Normally the shutdown sequence has stopped the worker already; never leave it running on a dead object.
    if (m_Worker.joinable()) {
        m_State.StopRequested = 1;
        m_Worker.join();
    }
}

void ServerShell::Start() {
    if (m_ShuttingDown || m_Worker.joinable()) return;
    const std::filesystem::path confPath = m_Folder / kConfigFileName;
    ConfigResult conf = readServerConfig(confPath);
    if (conf.status == ConfigStatus::CannotOpen) {
        kavrin::showMessage(messages::configOpenError(QString::fromStdString(confPath.string()), conf.error));
        return;  // the dialog stays; Start may be pressed again
    }
    if (conf.status == ConfigStatus::TooShort) {
        kavrin::showMessage(messages::kConfigReadError);
        Shutdown();
        return;
    }
    m_Config = conf.config;

    std::string error;
    if (!m_Connection.connect(kDataSourceName, m_Dialog.login().toStdString(), m_Dialog.password().toStdString(),
                              &error)) {
        std::fprintf(stderr, "Ostrel: %s\n", error.c_str());
        kavrin::showMessage(messages::kConnectError);
        Shutdown();
        return;
    }

    showTrayIcon();
    m_Dialog.setRunning(true);
    m_Dialog.startButton()->setEnabled(false);
    m_Dialog.showMinimized();
    if (m_TrayShown) m_Dialog.hide();

    m_Worker = std::thread([this] {
        TaskWorker worker(m_Config, m_State, m_Connection, *this, m_Links, m_Folder);
        worker.run();
        m_WorkerDone = true;
    });
}

void ServerShell::showTrayIcon() {
    if (!m_TrayAvailable) return;  // no tray: the dialog stays minimised in the task bar
    m_Tray = std::make_unique<QSystemTrayIcon>();
    m_Tray->setIcon(loadIcon(kTrayIconB));
    m_Tray->setToolTip(QStringLiteral("Ostrel"));
    m_Tray->setContextMenu(m_TrayMenu.get());
    m_Tray->show();
    m_TrayIconId = kTrayIconB;
    m_IconPhase = 1;
    m_TrayShown = true;
}

void ServerShell::AnimateTray() {
    static constexpr int kNext[] = {0, kTrayIconC, kTrayIconA, kTrayIconD, kTrayIconB};
    if (m_IconPhase >= 1 && m_IconPhase <= 4) {
        m_TrayIconId = kNext[m_IconPhase];
        m_IconPhase = m_IconPhase == 4 ? 1 : m_IconPhase + 1;
    }
    if (m_TrayShown && m_Tray) m_Tray->setIcon(loadIcon(m_TrayIconId));
}

void ServerShell::Shutdown() {
    if (m_ShuttingDown) return;
    m_ShuttingDown = true;
    m_State.StopRequested = 1;
    // The wait lets the event loop run, so a message the worker is showing can still be answered.
    if (!m_Worker.joinable() || m_WorkerDone.load())
        finishShutdown();
    else
        m_StopWait.start();
}

void ServerShell::finishShutdown() {
    m_StopWait.stop();
    if (m_Worker.joinable()) m_Worker.join();
    if (m_TrayShown && m_Tray) m_Tray->hide();
    m_Tray.reset();
    m_TrayShown = false;
    m_Connection.disconnect();
    m_EndProcess(0);
}

void ServerShell::showMessage(const QString& text) {
    if (QThread::currentThread() == thread())
        kavrin::showMessage(text);
    else
        QMetaObject::invokeMethod(this, [text] { kavrin::showMessage(text); }, Qt::BlockingQueuedConnection);
}

void ServerShell::animateTray() { QMetaObject::invokeMethod(this, &ServerShell::AnimateTray, Qt::QueuedConnection); }

void ServerShell::requestShutdown() { QMetaObject::invokeMethod(this, &ServerShell::Shutdown, Qt::QueuedConnection); }

}  // namespace ostrel
