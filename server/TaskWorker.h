#pragma once
// The worker: takes the queued tasks one at a time, smallest id first, delivers each to the device or into
// user.bin / prog.bin, and deletes it. It knows nothing of the dialog; the host shows its messages.
#include "Odbc.h"
#include "ServerConfig.h"
#include "ServerState.h"
#include "TaskFiles.h"
#include "TaskLink.h"
#include "TaskQueue.h"
#include "WorkerHost.h"

#include <QString>
#include <filesystem>
#include <memory>

namespace ostrel {

namespace messages {
inline const QString kPortOpenError = QStringLiteral("Ошибка открытия порта");
inline const QString kSendError = QStringLiteral(
    "Ошибка передачи пакета в порт. Проверьте подключено ли устройство к COM-порту и правильно ли "
    "сконфигурирован файл ostrel.conf");
QString fileOpenError(const char* file, const std::string& reason);
QString taskFileError(const char* file, const std::string& reason, bool opening);
}  // namespace messages

class TaskWorker {
public:
    static constexpr int kSendTries = 3;

    enum class Pass { Task, Idle, Failed, Fatal };

    // `folder` holds user.bin, prog.bin and the sender (the working directory in the program).
    TaskWorker(const ServerConfig& config, ServerState& state, const OdbcConnection& connection,
               WorkerHost& host, TaskLinkFactory links, std::filesystem::path folder);
    ~TaskWorker();

    // The thread procedure: begin, passes until a stop is requested or a fatal error, end. Returns 0.
    int run();

    // The steps of run(), for tests that drive the worker pass by pass.
    // Opens the links (and user.bin in file mode); false after a fatal error, which the host was told of.
    bool begin();
    // One pass: one task carried out and deleted, or an idle pause when the queue is empty.
    Pass pass();
    // Leaves the loop: closes user.bin, closes link 2 and then link 1.
    void end();

private:
    bool carryOut(const TaskRow& task);
    bool sendToDevice(const TaskRow& task);
    bool writeFiles(const TaskRow& task);
    void whenQueueEmpty();
    void pause(int ms);
    void fatal(const QString& message);

    const ServerConfig config_;
    ServerState& state_;
    WorkerHost& host_;
    TaskLinkFactory makeLink_;
    const std::filesystem::path folder_;
    TaskQueue queue_;
    UserBinFile userBin_;
    std::unique_ptr<TaskLink> link1_;
    std::unique_ptr<TaskLink> link2_;
    bool failing_ = false;  // the last select failed; log only the first of a series
};

}  // namespace ostrel
