#pragma once
// One simulated device: answers the requests addressed to it and keeps its head-end state and memories.
#include "CRng.h"
#include "HeadendSimulator.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace headend {

class SimDevice {
public:
    explicit SimDevice(DeviceConfig config);

    const DeviceConfig& config() const { return m_Config; }
    std::uint8_t address() const { return m_Address; }
    bool bootMode() const { return m_BootMode; }
    bool answers(std::uint8_t address, std::uint8_t command) const;

    void setMisbehaviour(Misbehaviour what, int times);
    // Takes the misbehaviour for the reply about to be made (and counts it down). AnswerZero only
    // concerns status replies; others pass unaffected.
    Misbehaviour takeMisbehaviour(bool statusReply);

    // Carries out a request and returns the reply payload, or nothing for a request it does not answer.
    // With AnswerZero the request is refused: status replies carry 0 and nothing is stored.
    std::optional<std::vector<std::uint8_t>> handle(std::uint8_t command, std::span<const std::uint8_t> payload,
                                                    Misbehaviour how);
    static bool isStatusCommand(std::uint8_t command, bool bootMode);

    const HeadendState& state() const { return m_State; }
    const std::vector<std::uint8_t>& flash() const { return m_Flash; }
    const std::vector<std::uint8_t>& eeprom() const { return m_Eeprom; }

private:
    std::vector<std::uint8_t> statePage(std::uint8_t page) const;
    std::uint8_t applyTask(std::span<const std::uint8_t> packet);
    std::optional<std::vector<std::uint8_t>> handleBoot(std::uint8_t command, std::span<const std::uint8_t> payload,
                                                        bool carryOut);
    void descramble(std::vector<std::uint8_t>& bytes);

    DeviceConfig m_Config;
    std::uint8_t m_Address;
    bool m_BootMode;
    Misbehaviour m_Misbehaviour = Misbehaviour::None;
    int m_MisbehaviourLeft = 0;
    HeadendState m_State;
    std::vector<std::uint8_t> m_Flash;
    std::vector<std::uint8_t> m_Eeprom;
    CRng m_Descrambler;
    std::optional<int> m_PendingPage;  // first half received of a page over 200 bytes
    std::vector<std::uint8_t> m_PendingData;
};

}  // namespace headend
