#include "CTaskLink.h"

#include "TaskPackets.h"

CTaskLink::CTaskLink(int port, unsigned char address) : CDvbComm(port), m_Address(address) {
    Dtr(false);
}

bool CTaskLink::SendTask(void* packet, unsigned int length) {
    if (!WritePack(m_Address, ostrel::kTaskCommand, packet, length)) return false;
    unsigned char answer = 0;
    unsigned int received = 0;
    if (!ReadPack(&answer, 1, received, kAnswerTimeoutMs)) return false;
    return received == 1 && answer == kAccepted;
}

bool CTaskLink::deliver(const std::uint8_t* packet, std::size_t length) {
    return SendTask(const_cast<std::uint8_t*>(packet), static_cast<unsigned int>(length));
}

namespace ostrel {

TaskLinkFactory serialLinkFactory() {
    return [](int port, std::uint8_t address) -> std::unique_ptr<TaskLink> {
        return std::make_unique<CTaskLink>(port, address);
    };
}

}  // namespace ostrel
