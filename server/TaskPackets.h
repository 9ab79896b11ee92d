#pragma once
// The bytes a task becomes: device packets (payload of the task command) and the records of user.bin and
// prog.bin. Pure functions; everything little-endian.
#include "TaskRow.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ostrel {

inline constexpr std::uint8_t kTaskCommand = 0xAD;
inline constexpr std::size_t kSubscriberPacketSize = 141;
inline constexpr std::size_t kDeleteSlotPacketSize = 9;
inline constexpr std::size_t kScramblingPacketSize = 126;
inline constexpr std::size_t kUserRecordSize = 132;
inline constexpr std::size_t kUserHeaderSize = 4;
inline constexpr std::size_t kProgFileSize = 125;

using UserRecord = std::array<std::uint8_t, kUserRecordSize>;
using ProgFile = std::array<std::uint8_t, kProgFileSize>;

// The device packet of a task of type 1, 2 or 3; empty for any other type.
std::vector<std::uint8_t> buildTaskPacket(const TaskRow& task);

// The 132-byte record of a slot in user.bin: R, W1..W62, balance (type 1).
UserRecord buildUserRecord(const TaskRow& task);
// prog.bin: the low byte of W64, then W1..W62 (type 3).
ProgFile buildProgFile(const TaskRow& task);

// Where slot s (1-based) starts in user.bin, and the length of a user.bin holding count slots.
// 64-bit so that no slot number from the database can overflow them.
inline std::int64_t userRecordOffset(std::int64_t slot) {
    return static_cast<std::int64_t>(kUserHeaderSize) + (slot - 1) * static_cast<std::int64_t>(kUserRecordSize);
}
inline std::int64_t userFileLength(std::int64_t count) {
    return count * static_cast<std::int64_t>(kUserRecordSize) + static_cast<std::int64_t>(kUserHeaderSize);
}

}  // namespace ostrel
