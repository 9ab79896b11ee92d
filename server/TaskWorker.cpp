#include "TaskWorker.h"

#include "Sender.h"
#include "TaskPackets.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace ostrel {

namespace messages {

QString fileOpenError(const char* file, const std::string& reason) {
    return QStringLiteral("Ошибка открытия файла %1: %2").arg(QString::fromLatin1(file), QString::fromStdString(reason));
}

QString taskFileError(const char* file, const std::string& reason, bool opening) {
    return QStringLiteral("%1 %2: %3. Задание оставлено в очереди и будет выполнено при следующем запуске.")
        .arg(opening ? QStringLiteral("Ошибка открытия файла") : QStringLiteral("Ошибка записи в файл"),
             QString::fromLatin1(file), QString::fromStdString(reason));
}

}  // namespace messages

TaskWorker::TaskWorker(const ServerConfig& config, ServerState& state, const OdbcConnection& connection,
                       WorkerHost& host, TaskLinkFactory links, std::filesystem::path folder)
    : config_(config), state_(state), host_(host), makeLink_(std::move(links)), folder_(std::move(folder)),
      queue_(connection), userBin_(folder_ / kUserFileName) {}

TaskWorker::~TaskWorker() = default;

int TaskWorker::run() {
    if (!begin()) return 0;
    for (;;) {
        if (pass() == Pass::Fatal) return 0;
        if (state_.StopRequested.load()) break;
    }
    end();
    return 0;
}

bool TaskWorker::begin() {
    link1_ = makeLink_(config_.Port1, config_.Address1);
    link2_ = makeLink_(config_.Port2, config_.Address2);
    if (config_.deviceMode()) {
        if (!link1_->isOpen()) {
            fatal(messages::kPortOpenError);
            return false;
        }
    } else if (!userBin_.open(/*create=*/true)) {
        fatal(messages::fileOpenError(kUserFileName, userBin_.error()));
        return false;
    }
    state_.WorkerRunning = 1;
    return true;
}

TaskWorker::Pass TaskWorker::pass() {
    TaskRow task;
    switch (queue_.takeFirst(task)) {
    case FetchResult::Failed:
        if (!failing_) std::fprintf(stderr, "Ostrel: reading the task queue failed: %s\n", queue_.lastError().c_str());
        failing_ = true;
        // A lost database would otherwise be polled in a tight loop.
        pause(config_.PollMs);
        return Pass::Failed;
    case FetchResult::Empty:
        failing_ = false;
        whenQueueEmpty();
        return Pass::Idle;
    case FetchResult::Task:
        failing_ = false;
        break;
    }
    if (!carryOut(task)) return Pass::Fatal;
    if (!queue_.remove(task.id))
        std::fprintf(stderr, "Ostrel: task %d was carried out but not deleted: %s\n", task.id,
                     queue_.lastError().c_str());
    host_.animateTray();
    return Pass::Task;
}

void TaskWorker::end() {
    queue_.close();
    userBin_.close();
    state_.WorkerRunning = 0;
    link2_.reset();
    link1_.reset();
}

void TaskWorker::whenQueueEmpty() {
    // The burst is over: the files are complete and the sender may take them.
    userBin_.close();
    if (state_.SenderPending.exchange(0) == 1) RunSender(folder_);
    pause(config_.PollMs);
}

void TaskWorker::pause(int ms) {
    // Sliced so that a stop request does not wait out a long poll interval.
    using namespace std::chrono;
    const auto until = steady_clock::now() + milliseconds(ms);
    while (!state_.StopRequested.load()) {
        auto left = duration_cast<milliseconds>(until - steady_clock::now());
        if (left <= milliseconds(0)) break;
        std::this_thread::sleep_for(std::min(left, milliseconds(50)));
    }
}

bool TaskWorker::carryOut(const TaskRow& task) {
    if (task.type != kTaskSubscriber && task.type != kTaskDeleteSlot && task.type != kTaskScrambling)
        return true;  // unknown types are dropped without effect
    return config_.deviceMode() ? sendToDevice(task) : writeFiles(task);
}

bool TaskWorker::sendToDevice(const TaskRow& task) {
    const std::vector<std::uint8_t> packet = buildTaskPacket(task);
    for (int attempt = 0; attempt < kSendTries; ++attempt)
        if (link1_->deliver(packet.data(), packet.size())) return true;
    fatal(messages::kSendError);
    return false;
}

bool TaskWorker::writeFiles(const TaskRow& task) {
    if (task.type == kTaskScrambling) {
        std::string error;
        if (!writeProgFile(folder_ / kProgFileName, buildProgFile(task), error)) {
            fatal(messages::taskFileError(kProgFileName, error, false));
            return false;
        }
        state_.SenderPending = 1;
        return true;
    }
    // The sender may have taken user.bin away between bursts: it is reopened, never created anew, so that
    // the records of the other slots are not silently lost.
    if (!userBin_.isOpen() && !userBin_.open(/*create=*/false)) {
        fatal(messages::taskFileError(kUserFileName, userBin_.error(), true));
        return false;
    }
    const UserRecord record = task.type == kTaskSubscriber ? buildUserRecord(task) : UserRecord{};
    if (!userBin_.writeRecord(task.countMest, task.nMesta, record)) {
        fatal(messages::taskFileError(kUserFileName, userBin_.error(), false));
        return false;
    }
    state_.SenderPending = 1;
    return true;
}

void TaskWorker::fatal(const QString& message) {
    // The task stays queued; the worker leaves its loop before the program ends so the shutdown never
    // waits for it.
    queue_.close();
    userBin_.close();
    state_.WorkerRunning = 0;
    host_.showMessage(message);
    link2_.reset();
    link1_.reset();
    host_.requestShutdown();
}

}  // namespace ostrel
