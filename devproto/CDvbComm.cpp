#include "CDvbComm.h"

#include "CMyTimer.h"
#include "LinkCodec.h"
#include "StateCodec.h"

#include <array>
#include <chrono>
#include <thread>

namespace {
constexpr unsigned char kCmdGetState = 1;
constexpr unsigned char kCmdGetInfo = 3;
constexpr unsigned char kCmdChangeAddr = 4;
constexpr int kQueryTimeoutMs = 500;
constexpr int kChangeAddrPatienceMs = 10000;
}  // namespace

CDvbComm::CDvbComm(int port) : CComPort(port, kBaudRate) {}

CDvbComm::~CDvbComm() = default;

bool CDvbComm::WritePack(unsigned char address, unsigned char command, const void* payload, unsigned int length) {
    if (!PortOk()) return false;
    if (length > 0 && !payload) return false;
    if (length > mirlak::maxRequestPayload(m_Relay.size())) return false;
    std::array<std::uint8_t, mirlak::kMaxRequestFrame> frame {};
    const std::size_t n = mirlak::buildRequest(
        address, command, {static_cast<const std::uint8_t*>(payload), length}, m_Relay, frame);
    if (n == 0) return false;
    // Whatever is still waiting (a reply that came after its caller gave up) cannot answer this request;
    // left in the queue it would be taken for the answer to this one and shift every later answer.
    DiscardInput();
    // One write for the whole frame: the check byte is already in it, computed by the codec.
    StartTxCrc();
    return WriteBuf(frame.data(), static_cast<int>(n));
}

bool CDvbComm::ReadPack(void* buffer, unsigned int size, unsigned int& length, int timeoutMs) {
    struct PortSource {
        CDvbComm& link;
        int readByte() { return link.ReadByte(); }
        // ReadByte already waited its byte time-out on an open port; a closed one returns at once.
        void idle() {
            if (!link.PortOk()) std::this_thread::sleep_for(std::chrono::milliseconds(kByteTimeoutMs));
        }
    } source {*this};
    StartRxCrc();
    const CMyTimer timer(timeoutMs);
    return mirlak::readReply(source, [&] { return timer.Elapse(); }, static_cast<std::uint8_t*>(buffer),
                             buffer ? size : 0, m_Relay.size(), length) == mirlak::ReadOutcome::Ok;
}

void CDvbComm::RelayThrough(int address) {
    if (address < 0)
        m_Relay.clear();
    else
        m_Relay.push_back(static_cast<unsigned char>(address));
}

bool CDvbComm::GetInfo(int address, RP_GETINFO* info) {
    WritePack(static_cast<unsigned char>(address), kCmdGetInfo, nullptr, 0);
    unsigned int length = 0;
    const bool ok = ReadPack(info ? info->m_Data : nullptr, info ? RP_GETINFO::kSize : 0, length, kQueryTimeoutMs);
    return ok && length != 0;
}

bool CDvbComm::ChangeAddr(int address, int newAddress) {
    const CMyTimer patience(kChangeAddrPatienceMs);
    const unsigned char payload = static_cast<unsigned char>(newAddress);
    for (;;) {
        if (patience.Elapse()) return false;
        WritePack(static_cast<unsigned char>(address), kCmdChangeAddr, &payload, 1);
        unsigned char answer = 0;
        unsigned int length = 0;
        if (ReadPack(&answer, 1, length, kQueryTimeoutMs) && length == 1) return true;
    }
}

bool CDvbComm::GetState(int address, std::vector<CChip>& chips) {
    std::array<std::uint8_t, 498> page {};
    unsigned int length = 0;
    unsigned char pageNo = 0;
    WritePack(static_cast<unsigned char>(address), kCmdGetState, &pageNo, 1);
    if (!ReadPack(page.data(), static_cast<unsigned int>(page.size()), length, kQueryTimeoutMs) || length == 0)
        return false;
    const int pages = mirlak::parseChipPage({page.data(), length}, chips);

    for (int n = 1; n < pages; ++n) {
        pageNo = static_cast<unsigned char>(n);
        WritePack(static_cast<unsigned char>(address), kCmdGetState, &pageNo, 1);
        length = 0;
        if (!ReadPack(page.data(), 255, length, kQueryTimeoutMs) || length == 0) return false;
        if (!mirlak::parsePortPage({page.data(), length}, chips)) return false;
    }
    return true;
}
