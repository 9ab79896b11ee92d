#pragma once
// What the server's database tests share: the ODBC data source for the test MariaDB, a host that records
// what the worker asks of the program, task rows inserted as the client writes them, and small file helpers.
#include "Odbc.h"
#include "ServerConfig.h"
#include "ServerState.h"
#include "TaskWorker.h"
#include "WorkerHost.h"
#include "support/TestDatabase.h"

#include <QStringList>
#include <QTemporaryDir>
#include <array>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

namespace ostrel::test {

// Defines "Kavrin_MySQL" for the test MariaDB in a private folder and points unixODBC at it.
void useTestDataSource();
// An ODBC connection to the test database as the server makes it.
void connectTestOdbc(OdbcConnection& connection);

class RecordingHost : public WorkerHost {
public:
    void showMessage(const QString& text) override;
    void animateTray() override { ++traySteps; }
    void requestShutdown() override { ++shutdowns; }

    QStringList messages() const;
    std::atomic<int> traySteps{0};
    std::atomic<int> shutdowns{0};

private:
    mutable std::mutex mutex_;
    QStringList messages_;
};

// A task row with the columns the client fills; words not given are 0.
struct QueuedTask {
    int id = 0;  // 0: let the database choose
    unsigned nMesta = 0;
    unsigned nRec = 0;
    unsigned type = 1;
    unsigned countMest = 0;
    std::map<int, unsigned> words{};  // word number 1..64 -> value
    int balans = 0;
};
void queueTask(const QueuedTask& task);
int queuedTaskCount();
std::vector<int> queuedTaskIds();

std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// A fresh database, an ODBC connection, a temporary working folder and a recording host.
class ServerDatabaseTest : public kavrin::test::DatabaseTest {
protected:
    void SetUp() override;
    std::filesystem::path folder() const { return dir_.path().toStdString(); }

    ServerConfig fileModeConfig() const;
    // Runs passes until the queue is empty (an idle pass), at most `limit` passes.
    static int drain(TaskWorker& worker, int limit = 1000);

    QTemporaryDir dir_;
    OdbcConnection odbc_;
    ServerState state_;
    RecordingHost host_;
};

}  // namespace ostrel::test
