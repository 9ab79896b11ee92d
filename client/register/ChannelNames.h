#pragma once
// Sizes of the channel matrix screens, taken from the channel table.

namespace kavrin {

// The length in characters of the longest channel name of the channel table; 25 when the table is empty.
int return_max_len_kanal_name();

// Width in pixels of one stream's column on the matrix screens.
constexpr int matrix_column_width(int longestName) { return 7 * longestName + 15; }

}  // namespace kavrin
