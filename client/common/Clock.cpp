#include "common/Clock.h"

namespace kavrin {
namespace {
Clock* installed = nullptr;
}

Clock& Clock::current() {
    static SystemClock system;
    return installed ? *installed : system;
}

void Clock::install(Clock* clock) { installed = clock; }

}  // namespace kavrin
