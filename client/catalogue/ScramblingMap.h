#pragma once
// The scrambling map the head-end receives as a type-3 task: for streams 1..62 a word whose bit j says
// that channel position j is scrambled (the bit order of the entitlement words), and the highest stream
// number of the channel table, which the task carries as its word 64.
#include "rights/EntitlementWords.h"

#include <QtGlobal>
#include <array>
#include <vector>

namespace kavrin {

// The scrambled flags of one channel table row, positions 0..14 (position 15 is never scrambled).
struct StreamCodes {
    int stream = 0;
    ChannelFlags scrambled{};
};

struct ScramblingMap {
    static constexpr int kStreams = kStreamsInUse;
    std::array<quint16, kStreams> words{};  // words[s - 1] belongs to stream s
    int highestStream = 0;                  // goes out as word 64

    quint16 word(int stream) const { return words[stream - 1]; }
};

// The map that scrambles what the rows mark. The first row of a stream counts, as a lookup by stream
// number finds it; rows of streams outside 1..62 carry no word but still count for the highest number.
ScramblingMap buildScramblingMap(const std::vector<StreamCodes>& rows);

// The map that scrambles nothing, for a table whose highest stream number is `highestStream`.
ScramblingMap clearScramblingMap(int highestStream);

}  // namespace kavrin
