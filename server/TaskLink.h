#pragma once
// What the worker needs of a device link; CTaskLink is the one over the serial line.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace ostrel {

class TaskLink {
public:
    virtual ~TaskLink() = default;
    virtual bool isOpen() const = 0;
    // True when the device accepted the packet (the link makes one attempt; the worker retries).
    virtual bool deliver(const std::uint8_t* packet, std::size_t length) = 0;
};

// Makes the link for a zero-based port index and a device address.
using TaskLinkFactory = std::function<std::unique_ptr<TaskLink>(int port, std::uint8_t address)>;

}  // namespace ostrel
