#include "CChip.h"

#include <cstring>

CChip::CChip(const unsigned char* record, unsigned char type) : m_Type(type) {
    std::memcpy(m_Name, record, 15);
    m_Name[15] = 0;
}

bool CChip::AddPort(const CChipPort& port) {
    if (m_PortCount >= kMaxPorts) return false;
    m_Ports[m_PortCount++] = port;
    return true;
}
