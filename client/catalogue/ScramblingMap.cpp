#include "catalogue/ScramblingMap.h"

#include <algorithm>
#include <set>

namespace kavrin {

ScramblingMap buildScramblingMap(const std::vector<StreamCodes>& rows) {
    ScramblingMap map;
    std::set<int> seen;
    for (const StreamCodes& row : rows) {
        map.highestStream = std::max(map.highestStream, row.stream);
        if (row.stream < 1 || row.stream > ScramblingMap::kStreams || !seen.insert(row.stream).second) continue;
        map.words[row.stream - 1] = quint16(bit_to_int(row.scrambled));
    }
    return map;
}

ScramblingMap clearScramblingMap(int highestStream) {
    ScramblingMap map;
    map.highestStream = highestStream;
    return map;
}

}  // namespace kavrin
