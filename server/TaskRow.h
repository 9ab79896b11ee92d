#pragma once
// One row of the task queue `zadaniya`, as the worker reads it by column position.
#include <array>
#include <cstdint>

namespace ostrel {

enum TaskType : std::uint16_t {
    kTaskSubscriber = 1,  // a slot now belongs to a subscriber: record, words, balance
    kTaskDeleteSlot = 2,  // a slot no longer belongs to anybody
    kTaskScrambling = 3,  // the scrambling map
};

inline constexpr int kTaskColumns = 70;
inline constexpr int kWordCount = 64;

struct TaskRow {
    std::int32_t id = 0;
    std::int32_t nMesta = 0;     // slot number, 1-based
    std::int32_t nRec = 0;       // subscriber number
    std::uint16_t type = 0;      // n_zadaniya
    std::int32_t countMest = 0;  // number of slots
    std::array<std::uint16_t, kWordCount> words{};  // W1..W64
    std::int32_t balans = 0;

    // The record value the head-end keeps for a subscriber: n_Rec * 2 - 2, in 32-bit arithmetic.
    std::uint32_t record() const { return static_cast<std::uint32_t>(nRec) * 2u - 2u; }
};

}  // namespace ostrel
