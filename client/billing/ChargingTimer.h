#pragma once
// The main window's charging timer (Timer1): the automatic charging check about a second after the window is
// shown, then every two hours. Each tick re-reads the settings first, so a change saved on another machine
// counts.
#include <QObject>
#include <QTimer>
#include <functional>

namespace kavrin {

class ChargingTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int firstInterval = 1000;
    static constexpr int repeatInterval = 7200000;

    // Drives `timer` (created stopped by its owner): sets the first interval and handles its ticks.
    explicit ChargingTimer(QTimer& timer, QObject* parent = nullptr);

    std::function<void()> read_config;              // reloads the settings (window and memory)
    std::function<bool()> automaticChargingOn;      // as just read
    std::function<void()> Button9Click;             // the charging run
    std::function<void(bool)> setManualRunVisible;  // N13

    void Timer1Timer();

private:
    QTimer& timer_;
};

}  // namespace kavrin
