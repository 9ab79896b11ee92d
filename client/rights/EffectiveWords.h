#pragma once
// The words that apply to a subscriber: its own, or, while package priority is on, those of its package.
#include "rights/EntitlementWords.h"

#include <optional>

namespace kavrin {

class ClientDataSet;

// Own words unless `packagePriority` is set and the package's words are known. A priority naming a package
// that does not exist falls back to the subscriber's own words rather than to some other package's.
Mas64 effective_words(const Mas64& own, bool packagePriority, const std::optional<Mas64>& packageWords);

// Words 1..62 of the current row of a dataset holding columns 64_1 .. 64_62 (abons, pakets).
Mas64 read_words(const ClientDataSet& ds);
Mas64 read_words(const ClientDataSet& ds, int row);

// The effective words of the register's current subscriber. While package priority is on, the package list is
// positioned on the subscriber's package (id_selected_packet), as the channel editor expects.
Mas64 read_flags_to_mas64_CDS1(const ClientDataSet& abons, ClientDataSet& packages);

}  // namespace kavrin
