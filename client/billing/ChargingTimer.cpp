#include "billing/ChargingTimer.h"

#include "common/Dialogs.h"
#include "data/Sql.h"

namespace kavrin {

ChargingTimer::ChargingTimer(QTimer& timer, QObject* parent) : QObject(parent), timer_(timer) {
    timer_.setInterval(firstInterval);
    connect(&timer_, &QTimer::timeout, this, &ChargingTimer::Timer1Timer);
}

void ChargingTimer::Timer1Timer() {
    // Stopped while it works, so that a long run (or its message boxes) never starts a second one; started
    // again however the tick ends.
    timer_.stop();
    struct Restart {
        QTimer& timer;
        ~Restart() {
            timer.setInterval(repeatInterval);
            timer.start();
        }
    } restart{timer_};
    try {
        if (read_config) read_config();
        const bool on = automaticChargingOn && automaticChargingOn();
        if (on && Button9Click) Button9Click();
        if (setManualRunVisible) setManualRunVisible(!on);
    } catch (const DatabaseError& e) {
        // A lost connection must not stop the timer: the next tick tries again.
        showMessage(e.text());
    }
}

}  // namespace kavrin
