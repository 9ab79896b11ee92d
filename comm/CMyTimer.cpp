#include "CMyTimer.h"

#include <chrono>

namespace {
std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

CMyTimer::CMyTimer(int milliseconds) : m_Deadline(nowNs() + static_cast<std::int64_t>(milliseconds) * 1000000) {}

bool CMyTimer::Elapse() const { return nowNs() > m_Deadline; }

int CMyTimer::Remaining() const {
    const std::int64_t left = m_Deadline - nowNs();
    if (left <= 0) return 0;
    return static_cast<int>((left + 999999) / 1000000);
}
