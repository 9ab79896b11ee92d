#pragma once
// Entitlement words: which channels of which stream a subscriber may watch, a package contains, or the
// head-end scrambles. Word i (columns 64_1 .. 64_64) belongs to stream i; bit j (value 2^j) stands for
// channel position j = 0..14. Position 15 is the uncoded channel: it has no bit and everyone receives it.
#include <array>
#include <cstdint>

namespace kavrin {

constexpr int kChannelsPerStream = 16;  // positions 0..15
constexpr int kCodedChannels = 15;      // positions 0..14 carry a bit
constexpr int kUncodedPosition = 15;
constexpr int kStreamsInUse = 62;       // streams 1..62 are shown, charged and edited
constexpr int kWordCount = 64;          // columns 64_1 .. 64_64
constexpr int kMaxWord = 0x7FFF;

// The 15 channel flags of one word (0 or 1), index = channel position 0..14.
using ChannelFlags = std::array<int, kCodedChannels>;

// Words indexed by stream number 1..62; element 0 is unused.
using Mas64 = std::array<int, kStreamsInUse + 1>;

// Flags from a word. Bit 15 (never written by this client) and anything above it are ignored.
ChannelFlags int_to_bit(int word);
// The word of 15 flags; any non-zero flag counts as set.
int bit_to_int(const ChannelFlags& flags);

// The column holding the word of stream `stream` ("64_<stream>").
const char* word_column(int stream);

}  // namespace kavrin
