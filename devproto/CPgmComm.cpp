#include "CPgmComm.h"

#include "CMyTimer.h"

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

namespace {
constexpr unsigned char kCmdToProg = 7;
constexpr unsigned char kCmdPrgInfo = 8;
constexpr unsigned char kCmdFlashPage = 9;
constexpr unsigned char kCmdEeprom = 10;
constexpr unsigned char kCmdToWork = 11;
constexpr int kReplyTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 3000;
constexpr int kConnectPatienceMs = 5000;
constexpr int kSinglePacketPage = 200;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
}  // namespace

CPgmComm::CPgmComm(int port) : CDvbComm(port) {}

CPgmComm::~CPgmComm() {
    if (m_Connected) CPgmComm::Disconnect();
}

bool CPgmComm::ToProg(int address) {
    WritePack(static_cast<unsigned char>(address), kCmdToProg, nullptr, 0);
    unsigned int length = 0;
    if (!ReadPack(nullptr, 0, length, kReplyTimeoutMs) || length != 0) return false;
    pause(1000);  // the device restarts into its boot code
    return true;
}

bool CPgmComm::PrgInfo() {
    WritePack(kBootAddress, kCmdPrgInfo, nullptr, 0);
    std::array<unsigned char, 8> info {};
    unsigned int length = 0;
    if (!ReadPack(info.data(), 8, length, kReplyTimeoutMs) || length != 8) return false;
    m_PageSize = static_cast<std::uint16_t>(info[0] | info[1] << 8);
    m_PageCount = static_cast<std::uint16_t>(info[2] | info[3] << 8);
    m_EepromSize = static_cast<std::uint16_t>(info[4] | info[5] << 8);
    m_Reserved = static_cast<std::uint16_t>(info[6] | info[7] << 8);
    ResetScrambling();
    return true;
}

bool CPgmComm::ToWork() {
    WritePack(kBootAddress, kCmdToWork, nullptr, 0);
    unsigned int length = 0;
    return ReadPack(nullptr, 0, length, kReplyTimeoutMs);
}

bool CPgmComm::Disconnect() {
    ToWork();
    RelayThrough(-1);
    m_Connected = false;
    return true;
}

bool CPgmComm::ConnectDirect(bool reset, RP_GETINFO* info) {
    if (!PortOk()) return false;
    GetInfo(kAnyAddress, info);
    if (reset) {
        Dtr(true);
        pause(500);
        Flush();
        Dtr(false);
        pause(100);
    } else {
        ToProg(kAnyAddress);
    }
    const CMyTimer patience(kConnectPatienceMs);
    for (;;) {
        if (PrgInfo()) {
            m_Connected = true;
            return true;
        }
        if (patience.Elapse()) return false;
    }
}

bool CPgmComm::ConnectRelay(int relayAddress, int address, RP_GETINFO* info) {
    if (!PortOk()) return false;
    RelayThrough(relayAddress);
    if (!GetInfo(address, info) && info) info->m_Data[RP_GETINFO::kAnswerByte] = RP_GETINFO::kNoAnswer;
    if (!ToProg(address) || !PrgInfo()) return false;
    m_Connected = true;
    return true;
}

void CPgmComm::Scramble(void* buffer, int length) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < length; ++i) bytes[i] ^= NextSeqByte();
}

bool CPgmComm::sendScrambledStatus(unsigned char command, const unsigned char* bytes, int length,
                                   bool examineStatus) {
    WritePack(kBootAddress, command, bytes, static_cast<unsigned int>(length));
    unsigned char status = 0;
    unsigned int got = 0;
    if (!ReadPack(&status, 1, got, kWriteTimeoutMs)) return false;
    // A status reply without its byte is not a confirmation.
    return !examineStatus || (got == 1 && status != 0);
}

bool CPgmComm::WriteEeprom(int address, int value) {
    if (address < 0 || address >= m_EepromSize) return false;
    unsigned char bytes[3] = {static_cast<unsigned char>(address), static_cast<unsigned char>(address >> 8),
                              static_cast<unsigned char>(value)};
    Scramble(bytes, 3);
    return sendScrambledStatus(kCmdEeprom, bytes, 3, true);
}

bool CPgmComm::WriteFlashPage(int page, unsigned char* data) {
    if (page < 0 || page >= m_PageCount || !data) return false;
    std::array<unsigned char, 2 + kSinglePacketPage> packet {};
    packet[0] = static_cast<unsigned char>(page);
    packet[1] = static_cast<unsigned char>(page >> 8);
    if (m_PageSize <= kSinglePacketPage) {
        std::memcpy(packet.data() + 2, data, m_PageSize);
        Scramble(packet.data(), m_PageSize + 2);
        return sendScrambledStatus(kCmdFlashPage, packet.data(), m_PageSize + 2, true);
    }
    std::memcpy(packet.data() + 2, data, kSinglePacketPage);
    Scramble(packet.data(), kSinglePacketPage + 2);
    if (!sendScrambledStatus(kCmdFlashPage, packet.data(), kSinglePacketPage + 2, false)) return false;
    unsigned char* rest = data + kSinglePacketPage;
    const int restLength = m_PageSize - kSinglePacketPage;
    Scramble(rest, restLength);
    return sendScrambledStatus(kCmdFlashPage, rest, restLength, true);
}
