#pragma once
#include <cstdint>

// A one-shot deadline in milliseconds on the monotonic clock; a negative time-out is already over.
class CMyTimer {
public:
    explicit CMyTimer(int milliseconds);
    ~CMyTimer() = default;

    // True once the clock has moved strictly past the deadline.
    bool Elapse() const;
    // Milliseconds left, rounded up; 0 once elapsed.
    int Remaining() const;

private:
    std::int64_t m_Deadline;  // steady clock, nanoseconds
};
