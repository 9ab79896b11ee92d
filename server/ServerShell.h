#pragma once
// The program around the worker: Start (configuration, database, tray icon, worker), the tray animation and
// the one shutdown sequence that every way out goes through.
#include "Odbc.h"
#include "ServerConfig.h"
#include "ServerState.h"
#include "TaskLink.h"
#include "WorkerHost.h"

#include <QIcon>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

class CServerDlg;
class QMenu;
class QSystemTrayIcon;

namespace ostrel {

namespace messages {
inline const QString kConfigReadError = QStringLiteral("Ошибка чтения конфигурационного файла!");
inline const QString kConnectError = QStringLiteral("Ошибка подключения к MySQL серверу");
QString configOpenError(const QString& path, const std::string& reason);
}  // namespace messages

class ServerShell : public QObject, public WorkerHost {
    Q_OBJECT
public:
    // `folder` holds ostrel.conf, user.bin, prog.bin and the sender; `endProcess` ends the program with a status.
    ServerShell(CServerDlg& dialog, std::filesystem::path folder, TaskLinkFactory links,
                std::function<void(int)> endProcess);
    ~ServerShell() override;

    // Where the tray icon's animation stands (1..4) and the icon it shows.
    int iconPhase() const { return m_IconPhase; }
    int trayIconId() const { return m_TrayIconId; }
    bool connected() const { return m_Connection.connected(); }
    bool workerStarted() const { return m_Worker.joinable(); }
    QMenu* trayMenu() const { return m_TrayMenu.get(); }
    const ServerConfig& config() const { return m_Config; }
    // For tests of a desktop with a tray: whether the tray is there to take the icon.
    void setTrayAvailable(bool available) { m_TrayAvailable = available; }
    bool trayShown() const { return m_TrayShown; }

    // WorkerHost, called on the worker thread.
    void showMessage(const QString& text) override;
    void animateTray() override;
    void requestShutdown() override;

public slots:
    void Start();
    // Stops the worker (waiting for the end of its current task), removes the tray icon, disconnects and
    // ends the process with status 0. Never returns to the sequence's caller's work: the process is ending.
    void Shutdown();
    void AnimateTray();

private:
    void finishShutdown();
    void showTrayIcon();

    CServerDlg& m_Dialog;
    const std::filesystem::path m_Folder;
    TaskLinkFactory m_Links;
    std::function<void(int)> m_EndProcess;

    ServerConfig m_Config;
    ServerState m_State;
    OdbcConnection m_Connection;
    std::thread m_Worker;
    std::atomic<bool> m_WorkerDone{false};

    std::unique_ptr<QMenu> m_TrayMenu;
    std::unique_ptr<QSystemTrayIcon> m_Tray;
    bool m_TrayAvailable;
    bool m_TrayShown = false;
    int m_IconPhase = 0;
    int m_TrayIconId = 0;

    bool m_ShuttingDown = false;
    QTimer m_StopWait;
};

}  // namespace ostrel
