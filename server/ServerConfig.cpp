#include "ServerConfig.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <vector>

namespace ostrel {

namespace {

int clampToInt(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int atoiValue(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    return clampToInt(negative ? -value : value);
}

ConfigResult parseServerConfig(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < 6 && std::getline(in, line)) lines.push_back(line);
    ConfigResult result;
    if (lines.size() < 6) {
        result.status = ConfigStatus::TooShort;
        return result;
    }
    // Notepad saves a byte-order mark before the first line; it is not part of the number.
    if (lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);
    ServerConfig& c = result.config;
    c.Port1 = clampToInt(static_cast<long long>(atoiValue(lines[0])) - 1);
    c.Address1 = static_cast<std::uint8_t>(atoiValue(lines[1]));
    c.Port2 = clampToInt(static_cast<long long>(atoiValue(lines[2])) - 1);
    c.Address2 = static_cast<std::uint8_t>(atoiValue(lines[3]));
    c.Mode = static_cast<std::uint8_t>(atoiValue(lines[4]));
    c.PollMs = clampToInt(static_cast<long long>(atoiValue(lines[5])) * 1000);
    result.status = ConfigStatus::Ok;
    return result;
}

ConfigResult readServerConfig(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        ConfigResult result;
        result.status = ConfigStatus::CannotOpen;
        result.error = std::strerror(errno);
        return result;
    }
    return parseServerConfig(in);
}

}  // namespace ostrel
