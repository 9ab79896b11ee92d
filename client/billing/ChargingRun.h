#pragma once
// The charging run (Button9Click): how many days or months have passed since the last charge, the guard
// against a wrong clock, the optional backup, one pass per charged period (see ChargePass), and the reload
// that carries the new balances and switched-off subscribers to the head-end.
#include "billing/Backup.h"
#include "billing/Settings.h"

#include <QDate>
#include <functional>

namespace kavrin {

class ChargingRun {
public:
    enum class Result {
        NothingToDo,  // already charged, same month, or never charging
        Stopped,      // a message told why (clock, settings, declined confirmation, failed backup, no mark)
        Charged,
        Failed,       // a pass failed and was undone, or the reload failed; a message said so
    };

    // The main window's progress line (Label1 and Gauge1) and the screens' datasets; all optional.
    std::function<void(const QString&)> showTask;
    std::function<void(int maximum)> showBar;
    std::function<void(int position)> setBar;
    std::function<void()> hideProgress;
    std::function<Backup::Outcome()> backup;  // by default the backup of the client's connection
    std::function<void()> reportEmptied;      // the last-run report dataset should be re-read
    std::function<void()> passDone;           // the register should be re-read
    std::function<void()> marksChanged;       // the charging-marks dataset should be re-read
    std::function<void()> reload;             // the database reload (N6Click)
    // Called after each written chunk of a pass, with the count charged so far (tests inject failures here).
    std::function<void(int done)> chunkWritten;
    int chunkSize = 1000;

    // Runs with the given settings (Settings::current() in the client). Shows every message itself.
    Result Button9Click(const Settings& settings);

private:
    Result run(const Settings& settings);
    bool confirmGap(const QString& text);
    void task(const QString& text) { if (showTask) showTask(text); }
};

}  // namespace kavrin
