#include "StateCodec.h"

#include <stdexcept>
#include <string>

namespace mirlak {

namespace {
constexpr std::uint8_t kEndMark = 0xFF;
constexpr std::size_t kChipRecord = 16;
constexpr std::size_t kPortRecord = 3;
}  // namespace

int parseChipPage(std::span<const std::uint8_t> payload, std::vector<CChip>& chips) {
    if (payload.empty()) return -1;
    for (std::size_t at = 2; at < payload.size() && payload[at] != kEndMark; at += kChipRecord) {
        if (payload.size() - at < kChipRecord) break;  // a cut-off record is not a chip
        chips.emplace_back(payload.data() + at, payload[at + 15]);
    }
    return payload[0];
}

bool parsePortPage(std::span<const std::uint8_t> payload, std::vector<CChip>& chips) {
    for (std::size_t at = 0; at < payload.size() && payload[at] != kEndMark; at += kPortRecord) {
        if (payload.size() - at < kPortRecord) break;
        const std::size_t chip = payload[at];
        if (chip >= chips.size())
            throw std::invalid_argument("port record names chip " + std::to_string(chip) + " of " +
                                        std::to_string(chips.size()));
        if (!chips[chip].AddPort(CChipPort(payload[at + 1], payload[at + 2]))) return false;
    }
    return true;
}

}  // namespace mirlak
