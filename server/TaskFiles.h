#pragma once
// File mode: user.bin (a header and one 132-byte record per slot) and prog.bin, for the external sender.
#include "TaskPackets.h"

#include <filesystem>
#include <string>

namespace ostrel {

inline constexpr const char* kUserFileName = "user.bin";
inline constexpr const char* kProgFileName = "prog.bin";

class UserBinFile {
public:
    explicit UserBinFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~UserBinFile() { close(); }
    UserBinFile(const UserBinFile&) = delete;
    UserBinFile& operator=(const UserBinFile&) = delete;

    // Opens for writing, keeping what is there; creates the file only when asked to.
    bool open(bool create);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Sets the length to count slots, writes count into the header and the record at the slot.
    bool writeRecord(std::int32_t count, std::int32_t slot, const UserRecord& record);

    // Why the last call failed.
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& why);

    std::filesystem::path path_;
    int fd_ = -1;
    std::string error_;
};

// Replaces prog.bin with the 125 bytes; false (with the reason in `error`) when it cannot be written whole.
bool writeProgFile(const std::filesystem::path& path, const ProgFile& content, std::string& error);

}  // namespace ostrel
