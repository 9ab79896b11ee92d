#pragma once
// "Today" and "now" for the whole client, so that charging and the journal can be tested on any date.
#include <QDateTime>

namespace kavrin {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }

    // The clock in use; the system clock by default.
    static Clock& current();
    // Replaces the clock in use (tests); nullptr restores the system clock. The caller keeps ownership.
    static void install(Clock* clock);
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that shows what it was set to.
class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime at = QDateTime::currentDateTime()) : at_(std::move(at)) {}
    QDateTime now() const override { return at_; }
    void set(const QDateTime& at) { at_ = at; }

private:
    QDateTime at_;
};

}  // namespace kavrin
