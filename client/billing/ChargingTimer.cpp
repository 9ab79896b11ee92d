#include "billing/ChargingTimer.h"

namespace kavrin {

ChargingTimer::ChargingTimer(QObject* parent) : QObject(parent) {
    Timer1.setInterval(firstInterval);
    connect(&Timer1, &QTimer::timeout, this, &ChargingTimer::Timer1Timer);
}

void ChargingTimer::Timer1Timer() {
    // Stopped while it works, so that a long run (or its message boxes) never starts a second one.
    Timer1.stop();
    struct Restart {
        QTimer& timer;
        ~Restart() {
            timer.setInterval(repeatInterval);
            timer.start();
        }
    } restart{Timer1};
    if (read_config) read_config();
    const bool on = automaticChargingOn && automaticChargingOn();
    if (on && Button9Click) Button9Click();
    if (setManualRunVisible) setManualRunVisible(!on);
}

}  // namespace kavrin
