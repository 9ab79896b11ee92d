#include "TaskFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace ostrel {

namespace {

// Writes all bytes at the offset, resuming after short writes.
bool writeAt(int fd, const void* data, std::size_t size, off_t offset) {
    auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::pwrite(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

}  // namespace

bool UserBinFile::fail(const std::string& why) {
    error_ = why;
    return false;
}

bool UserBinFile::open(bool create) {
    if (isOpen()) return true;
    int flags = O_WRONLY | O_CLOEXEC | (create ? O_CREAT : 0);
    fd_ = ::open(path_.c_str(), flags, 0644);
    if (fd_ < 0) return fail(std::strerror(errno));
    return true;
}

void UserBinFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool UserBinFile::writeRecord(std::int32_t count, std::int32_t slot, const UserRecord& record) {
    if (!isOpen()) return fail("файл не открыт");
    // Slot 0 or below would land on the header or before the file's start.
    if (slot < 1) return fail("неверный номер места " + std::to_string(slot));
    if (::ftruncate(fd_, static_cast<off_t>(userFileLength(count))) != 0) return fail(std::strerror(errno));
    std::uint8_t header[kUserHeaderSize];
    auto c = static_cast<std::uint32_t>(count);
    for (std::size_t i = 0; i < kUserHeaderSize; ++i) header[i] = static_cast<std::uint8_t>(c >> (8 * i));
    if (!writeAt(fd_, header, sizeof header, 0)) return fail(std::strerror(errno));
    if (!writeAt(fd_, record.data(), record.size(), static_cast<off_t>(userRecordOffset(slot))))
        return fail(std::strerror(errno));
    return true;
}

bool writeProgFile(const std::filesystem::path& path, const ProgFile& content, std::string& error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = writeAt(fd, content.data(), content.size(), 0);
    int savedErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) error = std::strerror(savedErrno);
    return ok;
}

}  // namespace ostrel
