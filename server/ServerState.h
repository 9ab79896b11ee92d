#pragma once
// What the dialog thread and the worker thread share. Each flag is written by one side and read by the other.
#include <atomic>

namespace ostrel {

struct ServerState {
    std::atomic<int> StopRequested{0};  // set by the shutdown sequence; the worker leaves at the end of its pass
    std::atomic<int> WorkerRunning{0};  // 1 while the worker is in its loop
    std::atomic<int> SenderPending{0};  // file mode: something was written for the sender since it last ran
};

}  // namespace ostrel
