#pragma once
// The device slot map (table svobodnie_mesta): numbered places 1..N without gaps, one per subscriber from its
// first save until its deletion. Every call is a single indexed statement, so its cost does not grow with the
// register.
#include <utility>
#include <vector>

namespace kavrin::slotmap {

int occupiedCount(int subscriberId);
// The subscriber's occupied slot (the lowest when there are several), 0 when it holds none.
int occupiedSlot(int subscriberId);
// The highest slot number, which is also the number of slots; 0 for an empty map.
int highest();
// Takes a free slot for the subscriber, or creates slot highest + 1 when none is free. Returns the slot.
int occupy(int subscriberId);
// Gives a slot known to be free (and locked by the caller) to the subscriber.
void occupyFree(int slot, int subscriberId);
// Marks the slot free; it keeps the number of its last occupant.
void release(int slot);
void reassign(int slot, int newSubscriberId);
void clear();
// Appends slots (number, occupant), all occupied, in few statements.
void insertOccupied(const std::vector<std::pair<int, int>>& slotAndSubscriber);

}  // namespace kavrin::slotmap
