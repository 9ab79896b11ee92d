#pragma once
#include <cstdint>

// One port of a chip as the device reports it.
class CChipPort {
public:
    CChipPort() = default;
    CChipPort(unsigned char byte1, unsigned char byte2) : m_Byte1(byte1), m_Byte2(byte2) {}

    std::uint32_t m_Byte1 = 0;
    std::uint32_t m_Byte2 = 0;
};

// One chip of a device: its 15-byte name (kept zero-terminated), type byte and ports.
class CChip {
public:
    static constexpr int kMaxPorts = 256;

    CChip() = default;
    // Copies 15 name bytes from a 16-byte chip record and stores the type.
    CChip(const unsigned char* record, unsigned char type);

    // Appends a copy of the port; false (and nothing stored) when the chip already holds kMaxPorts.
    bool AddPort(const CChipPort& port);

    char m_Name[16] = {};
    std::uint32_t m_Type = 0;
    CChipPort m_Ports[kMaxPorts];
    int m_PortCount = 0;
};
