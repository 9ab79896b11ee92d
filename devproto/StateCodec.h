#pragma once
// The chip and port lists of a device's state (command 1), parsed from reply payloads.
// Lists end at a record that starts with 0xFF, or where the payload ends, whichever comes first.
#include "CChip.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mirlak {

// Page 0: byte 0 is the number of pages P, byte 1 is not interpreted, then 16-byte chip records
// (15 name bytes, type byte). Appends the chips; returns P, or -1 for an empty payload.
int parseChipPage(std::span<const std::uint8_t> payload, std::vector<CChip>& chips);

// Pages 1 .. P-1: 3-byte port records (chip index, byte 1, byte 2). Adds each port to the chip it names.
// False when a chip would get more than 256 ports (the ports before it stay). A chip index beyond `chips`
// throws std::invalid_argument.
bool parsePortPage(std::span<const std::uint8_t> payload, std::vector<CChip>& chips);

}  // namespace mirlak
