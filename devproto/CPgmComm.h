#pragma once
// The boot-mode programming protocol: bring a device into programming mode (directly or through a relay),
// read its memory geometry, write flash pages and EEPROM bytes, and return it to work. Every data byte sent
// in programming mode is scrambled with the CRng stream, restarted from kScramblingSeed at each connection.
#include "CDvbComm.h"
#include "CRng.h"

#include <cstdint>

class CPgmComm : public CDvbComm {
public:
    // The seed both sides start the scrambling generator from at every connection. Devices built for this
    // system carry the same constant in their boot code; changing it breaks programming of all of them.
    static constexpr unsigned short kScramblingSeed = 719;
    static constexpr unsigned char kBootAddress = 254;
    static constexpr unsigned char kAnyAddress = 255;

    explicit CPgmComm(int port);
    // A connected object leaves programming mode first.
    virtual ~CPgmComm();

    virtual bool ConnectDirect(bool reset, RP_GETINFO* info);
    virtual bool ConnectRelay(int relayAddress, int address, RP_GETINFO* info);
    virtual bool Disconnect();

    bool ToProg(int address);
    bool ToWork();
    bool PrgInfo();

    int FlashPageSize() const { return m_PageSize; }
    int FlashPages() const { return m_PageCount; }
    int EepromSize() const { return m_EepromSize; }

    // `data` holds FlashPageSize() bytes. For pages over 200 bytes the bytes from 200 on are scrambled in
    // the caller's buffer.
    bool WriteFlashPage(int page, unsigned char* data);
    bool WriteEeprom(int address, int value);

    void Scramble(void* buffer, int length);

protected:
    void ResetScrambling() { m_Rng.Init(kScramblingSeed); }
    unsigned char NextSeqByte() { return static_cast<unsigned char>(m_Rng.Next()); }

    // The 8-byte programming information exactly as the device sends it.
    std::uint16_t m_PageSize = 0;
    std::uint16_t m_PageCount = 0;
    std::uint16_t m_EepromSize = 0;
    std::uint16_t m_Reserved = 0;
    CRng m_Rng;

private:
    bool sendScrambledStatus(unsigned char command, const unsigned char* bytes, int length, bool examineStatus);
};
