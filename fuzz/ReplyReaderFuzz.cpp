// Fuzzes the reply reader with arbitrary line contents: it must never write outside the caller's buffer,
// never take more bytes than one reply (plus its drain) can hold, and never wait beyond its time-out.
// Input: byte 0 = buffer size, byte 1 = relay count (low 2 bits), the rest = what arrives on the line.
#include "LinkCodec.h"
#include "StateCodec.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kByteTimeoutMs = 20;
constexpr int kReplyTimeoutMs = 100;

// The line: bytes in order, then silence. Time passes only while waiting for a byte that does not come.
struct Line {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    int clockMs = 0;
    int missedAfterFirst = 0;
    bool gotFirst = false;

    int readByte() {
        if (pos < size) {
            gotFirst = true;
            return data[pos++];
        }
        clockMs += kByteTimeoutMs;
        if (gotFirst) ++missedAfterFirst;
        return -1;
    }
    void idle() {}
};

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t bufferSize = data[0];
    const std::size_t relays = data[1] & 3;
    Line line {data + 2, size - 2};
    // Exactly the asked size on the heap, so that the address sanitizer sees any byte written past it.
    std::unique_ptr<std::uint8_t[]> buffer(bufferSize ? new std::uint8_t[bufferSize] : nullptr);
    unsigned int length = 0xDEADBEEF;

    const auto outcome = mirlak::readReply(line, [&] { return line.clockMs >= kReplyTimeoutMs; }, buffer.get(),
                                           bufferSize, relays, length);

    // Waiting: the first byte waits for the time-out, and any later missing byte ends the reply.
    check(line.clockMs <= kReplyTimeoutMs + kByteTimeoutMs);
    check(line.missedAfterFirst <= 1);
    // Reading: one length byte, at most 254 payload bytes and a check byte, plus the drain of the relays.
    check(line.pos <= 1 + 254 + 1 + relays);

    if (outcome == mirlak::ReadOutcome::NoReply || outcome == mirlak::ReadOutcome::BadLength) {
        check(length == 0xDEADBEEF);
    } else {
        check(length == static_cast<unsigned int>(line.data[0]) - 1);
    }
    if (outcome == mirlak::ReadOutcome::Ok) {
        check(length <= bufferSize);
        unsigned sum = line.data[0];
        for (unsigned i = 0; i < length; ++i) {
            check(buffer[i] == line.data[1 + i]);
            sum += buffer[i];
        }
        check(static_cast<std::uint8_t>(sum) == line.data[1 + length]);

        // What a good reply carries goes on to the state-page parsers.
        std::vector<CChip> chips;
        mirlak::parseChipPage({buffer.get(), length}, chips);
        try {
            mirlak::parsePortPage({buffer.get(), length}, chips);
        } catch (const std::invalid_argument&) {
        }
    }
    return 0;
}
