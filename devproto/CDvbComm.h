#pragma once
// The device link: request and reply frames on the serial line at 38,400 bit/s, an optional chain of
// relaying devices, and the device queries (information, state, address change).
#include "CChip.h"
#include "CComPort.h"

#include <vector>

// The device information record: the payload of the answer to command 3, as received.
struct RP_GETINFO {
    static constexpr int kSize = 40;
    // Byte that a relay connection sets to kNoAnswer when the device did not answer.
    static constexpr int kAnswerByte = 36;
    static constexpr unsigned char kNoAnswer = 254;
    unsigned char m_Data[kSize];
};

class CDvbComm : public CComPort {
public:
    static constexpr unsigned long kBaudRate = 38400;

    explicit CDvbComm(int port);
    ~CDvbComm();

    bool ConnectOk() const { return m_Connected; }

    // Writes one request frame in a single write, after discarding any stale input (a late reply to an
    // earlier request must not be read as the reply to this one). Returns false, sending nothing, when the port is closed
    // or the payload does not fit the length byte (at most 252 - 2 x relays bytes); otherwise whether the
    // port took the whole frame.
    bool WritePack(unsigned char address, unsigned char command, const void* payload, unsigned int length);

    // Reads one reply. The first byte must come within timeoutMs; later bytes within the port's byte
    // time-out. True for a complete reply with a correct check byte that fits `size`; `length` then holds
    // the payload length. A reply too long for the buffer is drained (plus one byte per relay), returns
    // false and leaves its announced length in `length`. No reply leaves `length` as it was.
    bool ReadPack(void* buffer, unsigned int size, unsigned int& length, int timeoutMs);

    // A negative address empties the relay path; any other appends its low 8 bits.
    void RelayThrough(int address);
    const std::vector<unsigned char>& RelayPath() const { return m_Relay; }

    // Command 3: true when the device answered with at least one byte (at most 40 fit the record).
    bool GetInfo(int address, RP_GETINFO* info);
    // Command 4, repeated every 500 ms until the device confirms with one byte or 10 s have passed.
    bool ChangeAddr(int address, int newAddress);
    // Command 1, page by page: appends the device's chips and their ports to `chips`. False when a page is
    // missing or bad, or a chip would get more than 256 ports; what was appended stays. A port record naming
    // a chip index beyond `chips` throws std::invalid_argument.
    bool GetState(int address, std::vector<CChip>& chips);

protected:
    bool m_Connected = false;
    std::vector<unsigned char> m_Relay;
};
