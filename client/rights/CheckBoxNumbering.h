#pragma once
// The check-box grids of the matrix screens: the box and the label of stream s (1..62) and channel position j
// (0..15) are numbered 16 * s + j + 1, so stream 1 uses 17..32 and stream 62 uses 993..1008. The box of
// position 15 (the uncoded channel) is disabled and always ticked.
#include "rights/EntitlementWords.h"

#include <array>
#include <optional>

namespace kavrin {

constexpr int kFirstCheckBox = 17;
constexpr int kLastCheckBox = 16 * kStreamsInUse + 16;  // 1008

int checkbox_number(int stream, int position);

struct MatrixCell {
    int stream;    // 1..62
    int position;  // 0..15
};
// The stream and position of a box number, or nothing when the number is outside 17..1008.
std::optional<MatrixCell> checkbox_cell(int number);
bool is_uncoded_checkbox(int number);

// Ticks of all boxes, indexed by box number (0..16 unused).
using CheckBoxTicks = std::array<bool, kLastCheckBox + 1>;

// Words to ticks: box 16s+j+1 ticked exactly when bit j of word s is set; position 15 always ticked.
CheckBoxTicks convert_from_mas64_to_ticks(const Mas64& words);
// Ticks to words: the word of each stream 1..62 encoded from its boxes of positions 0..14.
Mas64 convert_ticks_to_mas64(const CheckBoxTicks& ticks);

}  // namespace kavrin
