#include "SimDevice.h"

#include "CPgmComm.h"

#include <algorithm>
#include <cstring>

namespace headend {

namespace {
constexpr std::uint8_t kAnyAddress = 255;
constexpr std::uint8_t kBootAddress = 254;
constexpr std::size_t kPortsPerPage = 84;  // 252 bytes of records and the end mark fit one reply
constexpr std::size_t kChipsOnPage0 = 15;
constexpr int kSinglePacketPage = 200;

std::int32_t le32(std::span<const std::uint8_t> p, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[at]) | static_cast<std::uint32_t>(p[at + 1]) << 8 |
                                     static_cast<std::uint32_t>(p[at + 2]) << 16 |
                                     static_cast<std::uint32_t>(p[at + 3]) << 24);
}

std::array<std::uint16_t, 62> words62(std::span<const std::uint8_t> p, std::size_t at) {
    std::array<std::uint16_t, 62> w {};
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<std::uint16_t>(p[at + 2 * i] | p[at + 2 * i + 1] << 8);
    return w;
}

std::vector<std::uint8_t> defaultInfo(std::uint8_t address) {
    std::vector<std::uint8_t> info(40, 0);
    const char* text = "headend-sim";
    std::memcpy(info.data(), text, std::strlen(text));
    info[32] = address;
    return info;
}
}  // namespace

SimDevice::SimDevice(DeviceConfig config)
    : m_Config(std::move(config)), m_Address(m_Config.address), m_BootMode(m_Config.startInBootMode),
      m_Flash(static_cast<std::size_t>(m_Config.flashPageSize) * m_Config.flashPages, 0xFF),
      m_Eeprom(m_Config.eepromSize, 0xFF) {
    if (m_Config.info.empty()) m_Config.info = defaultInfo(m_Config.address);
}

bool SimDevice::answers(std::uint8_t address, std::uint8_t command) const {
    if (m_BootMode) return address == kBootAddress;
    if (address == m_Address) return true;
    return address == kAnyAddress && (command == 3 || command == 7);
}

void SimDevice::setMisbehaviour(Misbehaviour what, int times) {
    m_Misbehaviour = what;
    m_MisbehaviourLeft = what == Misbehaviour::None ? 0 : times;
}

bool SimDevice::isStatusCommand(std::uint8_t command, bool bootMode) {
    return bootMode ? (command == 9 || command == 10) : (command == 173 || command == 4);
}

Misbehaviour SimDevice::takeMisbehaviour(bool statusReply) {
    if (m_Misbehaviour == Misbehaviour::None || m_MisbehaviourLeft == 0) return Misbehaviour::None;
    if (m_Misbehaviour == Misbehaviour::AnswerZero && !statusReply) return Misbehaviour::None;
    const Misbehaviour how = m_Misbehaviour;
    if (m_MisbehaviourLeft > 0 && --m_MisbehaviourLeft == 0) m_Misbehaviour = Misbehaviour::None;
    return how;
}

std::optional<std::vector<std::uint8_t>> SimDevice::handle(std::uint8_t command,
                                                           std::span<const std::uint8_t> payload,
                                                           Misbehaviour how) {
    const bool carryOut = how == Misbehaviour::None || how == Misbehaviour::AnswerLate ||
                          how == Misbehaviour::CorruptCheck;
    if (m_BootMode) return handleBoot(command, payload, carryOut);
    switch (command) {
    case 1:
        if (payload.size() != 1) return std::nullopt;
        return statePage(payload[0]);
    case 3:
        return m_Config.info;
    case 4:
        if (payload.size() != 1) return std::nullopt;
        if (carryOut) m_Address = payload[0];
        return std::vector<std::uint8_t> {carryOut ? std::uint8_t {1} : std::uint8_t {0}};
    case 7:
        if (carryOut) {
            m_BootMode = true;
            m_PendingPage.reset();
        }
        return std::vector<std::uint8_t> {};
    case 173:
        return std::vector<std::uint8_t> {carryOut ? applyTask(payload) : std::uint8_t {0}};
    default:
        return std::nullopt;  // unknown commands go unanswered
    }
}

std::uint8_t SimDevice::applyTask(std::span<const std::uint8_t> p) {
    if (p.empty()) return 0;
    switch (p[0]) {
    case 1: {
        if (p.size() != 141) return 0;
        const std::int32_t count = le32(p, 1), slot = le32(p, 5);
        if (count < 0 || slot < 1 || slot > count) return 0;
        m_State.slotCount = count;
        m_State.slots.erase(m_State.slots.upper_bound(count), m_State.slots.end());
        m_State.slots[slot] = SlotRecord {le32(p, 9), words62(p, 13), le32(p, 137)};
        break;
    }
    case 2: {
        if (p.size() != 9) return 0;
        const std::int32_t count = le32(p, 1), slot = le32(p, 5);
        if (count < 0 || slot < 1 || slot > count) return 0;
        m_State.slotCount = count;
        m_State.slots.erase(m_State.slots.upper_bound(count), m_State.slots.end());
        m_State.slots[slot] = SlotRecord {};
        break;
    }
    case 3:
        if (p.size() != 126) return 0;
        m_State.scramblingMap = ScramblingMap {p[1], words62(p, 2)};
        break;
    default:
        return 0;
    }
    m_State.taskPackets.emplace_back(p.begin(), p.end());
    return 1;
}

std::vector<std::uint8_t> SimDevice::statePage(std::uint8_t page) const {
    std::size_t totalPorts = 0;
    for (const ChipSpec& chip : m_Config.chips) totalPorts += chip.ports.size();
    const std::size_t portPages = (totalPorts + kPortsPerPage - 1) / kPortsPerPage;
    std::vector<std::uint8_t> out;
    if (page == 0) {
        out.push_back(static_cast<std::uint8_t>(1 + portPages));
        out.push_back(0);
        for (std::size_t i = 0; i < m_Config.chips.size() && i < kChipsOnPage0; ++i) {
            std::uint8_t record[16] = {};
            const std::string& name = m_Config.chips[i].name;
            std::memcpy(record, name.data(), std::min<std::size_t>(name.size(), 15));
            record[15] = m_Config.chips[i].type;
            out.insert(out.end(), record, record + 16);
        }
        out.push_back(0xFF);
        return out;
    }
    const std::size_t first = (page - 1u) * kPortsPerPage;
    std::size_t index = 0;
    for (std::size_t c = 0; c < m_Config.chips.size(); ++c)
        for (const auto& port : m_Config.chips[c].ports) {
            if (index >= first && index < first + kPortsPerPage) {
                out.push_back(static_cast<std::uint8_t>(c));
                out.push_back(port.first);
                out.push_back(port.second);
            }
            ++index;
        }
    out.push_back(0xFF);
    return out;
}

void SimDevice::descramble(std::vector<std::uint8_t>& bytes) {
    for (std::uint8_t& b : bytes) b ^= static_cast<std::uint8_t>(m_Descrambler.Next());
}

std::optional<std::vector<std::uint8_t>> SimDevice::handleBoot(std::uint8_t command,
                                                               std::span<const std::uint8_t> payload, bool carryOut) {
    const std::uint8_t ok = carryOut ? 1 : 0;
    switch (command) {
    case 8: {
        m_Descrambler.Init(CPgmComm::kScramblingSeed);
        m_PendingPage.reset();
        const std::uint16_t w[4] = {m_Config.flashPageSize, m_Config.flashPages, m_Config.eepromSize, 0};
        std::vector<std::uint8_t> info;
        for (std::uint16_t v : w) {
            info.push_back(static_cast<std::uint8_t>(v));
            info.push_back(static_cast<std::uint8_t>(v >> 8));
        }
        return info;
    }
    case 9: {
        std::vector<std::uint8_t> bytes(payload.begin(), payload.end());
        descramble(bytes);
        const int pageSize = m_Config.flashPageSize;
        if (m_PendingPage) {
            const int page = *m_PendingPage;
            m_PendingPage.reset();
            if (static_cast<int>(bytes.size()) != pageSize - kSinglePacketPage) return std::vector<std::uint8_t> {0};
            if (carryOut) {
                std::copy(m_PendingData.begin(), m_PendingData.end(), m_Flash.begin() + page * pageSize);
                std::copy(bytes.begin(), bytes.end(), m_Flash.begin() + page * pageSize + kSinglePacketPage);
            }
            return std::vector<std::uint8_t> {ok};
        }
        if (bytes.size() < 2) return std::vector<std::uint8_t> {0};
        const int page = bytes[0] | bytes[1] << 8;
        if (page >= m_Config.flashPages) return std::vector<std::uint8_t> {0};
        if (pageSize <= kSinglePacketPage) {
            if (static_cast<int>(bytes.size()) != pageSize + 2) return std::vector<std::uint8_t> {0};
            if (carryOut) std::copy(bytes.begin() + 2, bytes.end(), m_Flash.begin() + page * pageSize);
            return std::vector<std::uint8_t> {ok};
        }
        if (bytes.size() != kSinglePacketPage + 2) return std::vector<std::uint8_t> {0};
        m_PendingPage = page;
        m_PendingData.assign(bytes.begin() + 2, bytes.end());
        return std::vector<std::uint8_t> {ok};
    }
    case 10: {
        if (payload.size() != 3) return std::vector<std::uint8_t> {0};
        std::vector<std::uint8_t> bytes(payload.begin(), payload.end());
        descramble(bytes);
        const int address = bytes[0] | bytes[1] << 8;
        if (address >= m_Config.eepromSize) return std::vector<std::uint8_t> {0};
        if (carryOut) m_Eeprom[address] = bytes[2];
        return std::vector<std::uint8_t> {ok};
    }
    case 11:
        if (carryOut) m_BootMode = false;
        return std::vector<std::uint8_t> {};
    default:
        return std::nullopt;
    }
}

}  // namespace headend
