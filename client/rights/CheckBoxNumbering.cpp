#include "rights/CheckBoxNumbering.h"

namespace kavrin {

int checkbox_number(int stream, int position) { return kChannelsPerStream * stream + position + 1; }

std::optional<MatrixCell> checkbox_cell(int number) {
    if (number < kFirstCheckBox || number > kLastCheckBox) return std::nullopt;
    return MatrixCell{(number - 1) / kChannelsPerStream, (number - 1) % kChannelsPerStream};
}

bool is_uncoded_checkbox(int number) {
    const auto cell = checkbox_cell(number);
    return cell && cell->position == kUncodedPosition;
}

CheckBoxTicks convert_from_mas64_to_ticks(const Mas64& words) {
    CheckBoxTicks ticks{};
    for (int s = 1; s <= kStreamsInUse; ++s) {
        const ChannelFlags flags = int_to_bit(words[s]);
        for (int j = 0; j < kCodedChannels; ++j) ticks[checkbox_number(s, j)] = flags[j] != 0;
        ticks[checkbox_number(s, kUncodedPosition)] = true;
    }
    return ticks;
}

Mas64 convert_ticks_to_mas64(const CheckBoxTicks& ticks) {
    Mas64 words{};
    for (int s = 1; s <= kStreamsInUse; ++s) {
        ChannelFlags flags{};
        for (int j = 0; j < kCodedChannels; ++j) flags[j] = ticks[checkbox_number(s, j)] ? 1 : 0;
        words[s] = bit_to_int(flags);
    }
    return words;
}

}  // namespace kavrin
