#pragma once
#include <string>
// A serial port opened by index, with running check sums for both directions and short time-outs.
//
// Index i opens the file "COM<i+1>" in the working directory when it exists (the installer links it to the
// real device, tests link it to a pseudo-terminal), otherwise /dev/ttyS<i>. The line is raw 8N1 without flow
// control; DTR and RTS start dropped. The rates 1200 .. 921600 bit/s are supported; any other rate leaves
// the line's speed as it was. A port that cannot be opened leaves an object on which every
// operation is harmless: writes send nothing, reads return -1 / false.

class CComPort {
public:
    CComPort(int port, unsigned long baudRate);
    ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    bool PortOk() const;

    void Rts(bool on);
    void Dtr(bool on);

    // Writes add every byte to the transmit sum, whether or not the line took it (the frame's check byte
    // must stay the sum of the bytes meant to go out). WriteBuf hands the whole buffer to the driver in one
    // call and returns whether all of it was accepted within the write time-out.
    void WriteByte(int value);
    void WriteWord(int value);
    bool WriteBuf(const unsigned char* buf, int count);

    // Each byte that does not arrive within about 20 ms ends a read: -1 or false.
    int ReadByte();
    int ReadWord();
    bool ReadBuf(unsigned char* buf, int count);

    // Waits up to timeoutMs for a byte without consuming it; true when one is ready.
    bool WaitReadable(int timeoutMs);

    // The path this object tried to open ("COM1" or "/dev/ttyS0").
    static std::string DeviceNameFor(int port);

    static constexpr int kByteTimeoutMs = 20;

protected:
    void Flush();
    // Discards what has been received and not read yet.
    void DiscardInput();
    void StartTxCrc() { m_TxCrc = 0; }
    int GetTxCrc() const { return m_TxCrc & 0xFF; }
    void StartRxCrc() { m_RxCrc = 0; }
    int GetRxCrc() const { return m_RxCrc & 0xFF; }

    int m_hPort = -1;
    int m_TxCrc = 0;
    int m_RxCrc = 0;

private:
    bool writeAll(const unsigned char* buf, int count);
    void setModemLine(int line, bool on);
    unsigned long m_BaudRate = 0;
};
