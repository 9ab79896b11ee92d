#pragma once
#include <cstdint>

// The scrambling generator of the programming protocol; the device's boot mode runs the same one.
class CRng {
public:
    CRng() = default;
    ~CRng() = default;

    void Init(unsigned short seed) {
        m_State = seed;
        m_Counter = 31;
    }
    // The next byte of the stream (0..255).
    unsigned short Next() {
        m_State = (m_State * 1103515245u + 12345u) >> 8;
        m_Counter = static_cast<std::uint8_t>(m_Counter + 101);
        return static_cast<unsigned short>(m_Counter ^ (m_State & 0xFF));
    }

    std::uint32_t m_State = 0;
    std::uint8_t m_Counter = 0;
};
