#pragma once
// Reading the channel table's scrambled flags and queuing the scrambling map for the task server.
#include "catalogue/ScramblingMap.h"

namespace kavrin {

// The scrambled flags of every row of `kanals`, in the order the table returns them.
std::vector<StreamCodes> readStreamCodes();

// "Закодировать": queues the map of the channel table's scrambled flags as they are in the database.
void queueEncodedMap();

// "Раскодировать": queues a map that scrambles nothing; the table's flags stay as they are.
void queueClearedMap();

// Appends one type-3 task to `zadaniya`: slot and subscriber 0, the highest slot number as `count_mest`,
// the map's words as 64_1..64_62 and its highest stream number as 64_64. `64_63` and `balans` keep
// their defaults. Throws DatabaseError.
void queueScramblingMap(const ScramblingMap& map);

}  // namespace kavrin
