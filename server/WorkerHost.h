#pragma once
// What the worker asks of the program around it: the dialog, the tray icon and the shutdown sequence.
#include <QString>

namespace ostrel {

class WorkerHost {
public:
    virtual ~WorkerHost() = default;
    // A modal message; returns when the operator has closed it.
    virtual void showMessage(const QString& text) = 0;
    // One step of the tray animation, after each task carried out.
    virtual void animateTray() = 0;
    // The worker has stopped for good after a fatal error; the program ends.
    virtual void requestShutdown() = 0;
};

}  // namespace ostrel
