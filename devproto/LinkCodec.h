#pragma once
// The framing of the device link as pure functions over bytes, without a port.
//
// Request, host to device:  0x71, LEN, [relay, 0x06]..., address, command, payload..., check
//   LEN counts every byte after itself, the check byte included; the relay added last comes first;
//   check = sum of all preceding bytes, from 0x71 on, modulo 256.
// Reply, device to host:    LEN, payload..., check   with LEN = payload length + 1, check = (LEN + payload) mod 256.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mirlak {

inline constexpr std::uint8_t kStartByte = 0x71;
inline constexpr std::uint8_t kRelayCommand = 6;
inline constexpr std::size_t kMaxRequestFrame = 257;  // start byte, LEN, and up to 255 bytes after LEN

// The largest payload a request can carry through the given number of relays.
constexpr std::size_t maxRequestPayload(std::size_t relayCount) {
    return relayCount * 2 + 3 > 255 ? 0 : 255 - 3 - relayCount * 2;
}

// Builds a request frame into `out`; `relays` in the order they were added. Returns the frame's length,
// or 0 when the request does not fit the length byte (nothing must then be sent).
std::size_t buildRequest(std::uint8_t address, std::uint8_t command, std::span<const std::uint8_t> payload,
                         std::span<const std::uint8_t> relays, std::array<std::uint8_t, kMaxRequestFrame>& out);

std::vector<std::uint8_t> buildRequest(std::uint8_t address, std::uint8_t command,
                                       std::span<const std::uint8_t> payload,
                                       std::span<const std::uint8_t> relays = {});

// A reply frame as a device sends it; empty when the payload is longer than 254 bytes.
std::vector<std::uint8_t> buildReply(std::span<const std::uint8_t> payload);

// Reads a reply frame fed one byte at a time. It never writes beyond the caller's buffer and never asks
// for more bytes than the announced length (plus the drain of a too-long reply) accounts for.
class ReplyParser {
public:
    enum class Result {
        Pending,    // wants another byte
        Ok,         // complete reply with a correct check byte
        BadLength,  // a first byte of 0: no room for a check byte
        TooLong,    // the payload did not fit the buffer; its bytes (and one per relay) have been consumed
        BadCheck,   // the check byte differs
    };

    ReplyParser(std::uint8_t* buffer, std::size_t bufferSize, std::size_t relayCount);

    Result push(std::uint8_t byte);
    Result result() const { return m_Result; }
    bool done() const { return m_Result != Result::Pending; }

    bool lengthKnown() const { return m_Stage != Stage::Length; }
    // Announced payload length (LEN - 1); valid once lengthKnown() and LEN was not 0.
    std::size_t announced() const { return m_Announced; }
    // Payload bytes stored in the buffer so far.
    std::size_t stored() const { return m_Stored; }

private:
    enum class Stage { Length, Payload, Check, Drain, Finished };
    std::uint8_t* m_Buffer;
    std::size_t m_Size;
    std::size_t m_Relays;
    Stage m_Stage = Stage::Length;
    Result m_Result = Result::Pending;
    std::size_t m_Announced = 0;
    std::size_t m_Stored = 0;
    std::size_t m_DrainLeft = 0;
    unsigned m_Sum = 0;
};

// How reading one reply ended.
enum class ReadOutcome { Ok, NoReply, BadLength, Truncated, TooLong, BadCheck };

// Reads one reply from a byte source: `source.readByte()` gives the next byte or -1 when none came within
// the line's byte time-out; `source.idle()` is called after a -1 so that a dead source cannot spin;
// `expired()` tells whether the wait for the first byte is over. Only the first byte waits for `expired`;
// any later byte that does not come ends the reply at once. `length` gets the announced payload length
// as soon as it is known (never for NoReply or BadLength).
template <class Source, class Expired>
ReadOutcome readReply(Source& source, Expired expired, std::uint8_t* buffer, std::size_t bufferSize,
                      std::size_t relayCount, unsigned int& length) {
    ReplyParser parser(buffer, bufferSize, relayCount);
    int byte;
    while ((byte = source.readByte()) < 0) {
        if (expired()) return ReadOutcome::NoReply;
        source.idle();
    }
    if (parser.push(static_cast<std::uint8_t>(byte)) == ReplyParser::Result::BadLength) return ReadOutcome::BadLength;
    length = static_cast<unsigned int>(parser.announced());
    while (!parser.done()) {
        byte = source.readByte();
        if (byte < 0) return ReadOutcome::Truncated;
        parser.push(static_cast<std::uint8_t>(byte));
    }
    switch (parser.result()) {
    case ReplyParser::Result::Ok: return ReadOutcome::Ok;
    case ReplyParser::Result::TooLong: return ReadOutcome::TooLong;
    default: return ReadOutcome::BadCheck;
    }
}

// Parses a whole reply held in memory. `consumed` tells how many bytes the parser took; Pending means
// the bytes ended before the reply did.
ReplyParser::Result parseReply(std::span<const std::uint8_t> bytes, std::uint8_t* buffer, std::size_t bufferSize,
                               std::size_t relayCount, std::size_t& announced, std::size_t& consumed);

}  // namespace mirlak
