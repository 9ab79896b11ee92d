#include "LinkCodec.h"

namespace mirlak {

std::size_t buildRequest(std::uint8_t address, std::uint8_t command, std::span<const std::uint8_t> payload,
                         std::span<const std::uint8_t> relays, std::array<std::uint8_t, kMaxRequestFrame>& out) {
    const std::size_t afterLen = payload.size() + relays.size() * 2 + 3;
    if (afterLen > 255) return 0;
    std::size_t i = 0;
    out[i++] = kStartByte;
    out[i++] = static_cast<std::uint8_t>(afterLen);
    for (auto it = relays.rbegin(); it != relays.rend(); ++it) {
        out[i++] = *it;
        out[i++] = kRelayCommand;
    }
    out[i++] = address;
    out[i++] = command;
    for (std::uint8_t b : payload) out[i++] = b;
    unsigned sum = 0;
    for (std::size_t k = 0; k < i; ++k) sum += out[k];
    out[i++] = static_cast<std::uint8_t>(sum);
    return i;
}

std::vector<std::uint8_t> buildRequest(std::uint8_t address, std::uint8_t command,
                                       std::span<const std::uint8_t> payload, std::span<const std::uint8_t> relays) {
    std::array<std::uint8_t, kMaxRequestFrame> frame {};
    const std::size_t n = buildRequest(address, command, payload, relays, frame);
    return {frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(n)};
}

std::vector<std::uint8_t> buildReply(std::span<const std::uint8_t> payload) {
    if (payload.size() > 254) return {};
    std::vector<std::uint8_t> out;
    out.reserve(payload.size() + 2);
    const auto len = static_cast<std::uint8_t>(payload.size() + 1);
    unsigned sum = len;
    out.push_back(len);
    for (std::uint8_t b : payload) {
        out.push_back(b);
        sum += b;
    }
    out.push_back(static_cast<std::uint8_t>(sum));
    return out;
}

ReplyParser::ReplyParser(std::uint8_t* buffer, std::size_t bufferSize, std::size_t relayCount)
    : m_Buffer(buffer), m_Size(buffer ? bufferSize : 0), m_Relays(relayCount) {}

ReplyParser::Result ReplyParser::push(std::uint8_t byte) {
    switch (m_Stage) {
    case Stage::Length:
        if (byte == 0) {
            m_Stage = Stage::Finished;
            return m_Result = Result::BadLength;
        }
        m_Sum = byte;
        m_Announced = byte - 1u;
        if (m_Announced > m_Size) {
            // The rest of the reply, its check byte and one byte per relay are still on the line.
            m_DrainLeft = m_Announced + 1 + m_Relays;
            m_Stage = Stage::Drain;
        } else {
            m_Stage = m_Announced == 0 ? Stage::Check : Stage::Payload;
        }
        return m_Result;
    case Stage::Payload:
        m_Buffer[m_Stored++] = byte;
        m_Sum += byte;
        if (m_Stored == m_Announced) m_Stage = Stage::Check;
        return m_Result;
    case Stage::Check:
        m_Stage = Stage::Finished;
        return m_Result = (byte == static_cast<std::uint8_t>(m_Sum)) ? Result::Ok : Result::BadCheck;
    case Stage::Drain:
        if (--m_DrainLeft == 0) {
            m_Stage = Stage::Finished;
            m_Result = Result::TooLong;
        }
        return m_Result;
    case Stage::Finished:
        break;
    }
    return m_Result;
}

ReplyParser::Result parseReply(std::span<const std::uint8_t> bytes, std::uint8_t* buffer, std::size_t bufferSize,
                               std::size_t relayCount, std::size_t& announced, std::size_t& consumed) {
    ReplyParser parser(buffer, bufferSize, relayCount);
    consumed = 0;
    while (!parser.done() && consumed < bytes.size()) parser.push(bytes[consumed++]);
    if (parser.lengthKnown() && parser.result() != ReplyParser::Result::BadLength) announced = parser.announced();
    return parser.result();
}

}  // namespace mirlak
