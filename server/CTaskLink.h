#pragma once
// A device link of the task server: the serial link to one device address, delivering task packets.
#include "CDvbComm.h"
#include "TaskLink.h"

class CTaskLink : public CDvbComm, public ostrel::TaskLink {
public:
    static constexpr int kAnswerTimeoutMs = 2000;
    static constexpr unsigned char kAccepted = 1;

    // Opens the port (38,400 bit/s, 8N1) and drops DTR; a port that does not open leaves PortOk() false.
    CTaskLink(int port, unsigned char address);

    // Sends the packet as the task command and waits for the one-byte answer; true only for an answer of 1.
    bool SendTask(void* packet, unsigned int length);

    bool isOpen() const override { return PortOk(); }
    bool deliver(const std::uint8_t* packet, std::size_t length) override;

    unsigned char m_Address;
};

namespace ostrel {
// Makes CTaskLinks: the worker's links in the real program.
TaskLinkFactory serialLinkFactory();
}  // namespace ostrel
