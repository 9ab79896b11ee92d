#pragma once
// SIGTERM and SIGINT become a Qt signal on the GUI thread, so stopping the service runs the shutdown sequence
// and never cuts a task in half.
#include <QObject>

class QSocketNotifier;

namespace ostrel {

class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    QSocketNotifier* m_Notifier = nullptr;
};

}  // namespace ostrel
