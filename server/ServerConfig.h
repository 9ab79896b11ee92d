#pragma once
// ostrel.conf: six lines, one number each (read as atoi reads them), in the working directory.
#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

namespace ostrel {

struct ServerConfig {
    int Port1 = -1;            // zero-based port index of the device link
    std::uint8_t Address1 = 0; // device address on that link
    int Port2 = -1;            // second link: opened and closed, never sent through
    std::uint8_t Address2 = 0;
    std::uint8_t Mode = 0;     // 1: tasks go to the device; anything else: to user.bin / prog.bin
    int PollMs = 0;            // pause when the queue is empty

    bool deviceMode() const { return Mode == 1; }
};

enum class ConfigStatus { Ok, CannotOpen, TooShort };

struct ConfigResult {
    ConfigStatus status = ConfigStatus::CannotOpen;
    ServerConfig config;
    std::string error;  // why the file could not be opened
};

inline constexpr const char* kConfigFileName = "ostrel.conf";

// The value of a line as atoi gives it: leading blanks skipped, an optional sign, digits up to the first
// other character, 0 when there are none. Values beyond the int range are clamped instead of overflowing.
int atoiValue(std::string_view line);

// Reads the first six lines; a last line without a line break counts. Lines after the sixth are ignored.
ConfigResult parseServerConfig(std::istream& in);
ConfigResult readServerConfig(const std::filesystem::path& file);

}  // namespace ostrel
