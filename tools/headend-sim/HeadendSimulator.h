#pragma once
// A simulated head-end on a pseudo-terminal, for tests and for trying the system without hardware.
//
// start() opens a pseudo-terminal and links "<directory>/COM<n>" to its terminal side, so a program whose
// working directory is <directory> opens it as port index n-1. A thread then plays one or more devices:
// it answers task packets (command 173), device information (3), state pages (1) and address changes (4),
// passes relayed frames (6) to the devices behind a relay, and emulates boot mode (7, 8, 9, 10, 11) with
// descrambling into flash and EEPROM memory. It can be told to misbehave and to pace its bytes at the real
// 38,400 bit/s. All accessors are thread-safe and return copies.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace headend {

enum class Misbehaviour {
    None,
    AnswerZero,    // status replies (commands 173, 4, 9, 10) carry 0 and the command is not carried out
    AnswerLate,    // replies come after the late delay (default 2500 ms); the command is carried out
    CorruptCheck,  // replies carry a wrong check byte; the command is carried out
    Silent,        // no reply, and the command is not carried out
    LengthZero,    // the reply is the single byte 0; the command is not carried out
};

// One slot's record, as task type 1 writes it; task type 2 leaves an all-zero record.
struct SlotRecord {
    std::int32_t record = 0;  // R = n_Rec x 2 - 2
    std::array<std::uint16_t, 62> words {};
    std::int32_t balance = 0;
    bool operator==(const SlotRecord&) const = default;
};

// The scrambling map of task type 3.
struct ScramblingMap {
    std::uint8_t streams = 0;  // low byte of word 64
    std::array<std::uint16_t, 62> words {};
    bool operator==(const ScramblingMap&) const = default;
};

struct HeadendState {
    std::int32_t slotCount = 0;
    std::map<std::int32_t, SlotRecord> slots;  // by slot number; slots above slotCount are dropped
    std::optional<ScramblingMap> scramblingMap;
    std::vector<std::vector<std::uint8_t>> taskPackets;  // every task packet carried out, in order
};

struct ChipSpec {
    std::string name;  // at most 15 bytes are reported
    std::uint8_t type = 0;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> ports;
};

struct DeviceConfig {
    std::uint8_t address = 1;
    int relayAddress = -1;           // reached only through the device with this address; -1: on the line
    std::vector<std::uint8_t> info;  // answer to command 3; empty: a 40-byte record naming the simulator
    std::vector<ChipSpec> chips;     // what command 1 reports
    std::uint16_t flashPageSize = 128;
    std::uint16_t flashPages = 32;
    std::uint16_t eepromSize = 256;
    bool startInBootMode = false;  // as right after a reset
};

// A request frame as the simulator received it on the line.
struct ReceivedFrame {
    std::vector<std::uint8_t> relays;  // relay addresses in the order the frame passes them
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload;
    std::vector<std::uint8_t> raw;  // the whole frame
    bool checkOk = true;
};

class Simulator {
public:
    struct Options {
        std::filesystem::path directory = ".";  // where the COM<n> link is made
        int comNumber = 1;                       // COM1 is port index 0
        std::vector<DeviceConfig> devices = {DeviceConfig {}};
        bool paced = false;
        int lateDelayMs = 2500;
    };

    explicit Simulator(Options options);
    ~Simulator();  // stops and removes the link
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool start(std::string* error = nullptr);
    void stop();

    std::filesystem::path linkPath() const;
    std::string terminalPath() const;  // the pseudo-terminal's device, e.g. /dev/pts/3
    int portIndex() const;             // the index to give CComPort / CDvbComm

    // Applies to the device at `address` (-1: every device) for the next `times` replies (-1: until changed).
    void setMisbehaviour(Misbehaviour what, int times = -1, int address = -1);
    void setPaced(bool paced);
    void setLateDelayMs(int ms);

    // The head-end state of the device at `address` (-1: the first device).
    HeadendState state(int address = -1) const;
    std::int32_t slotCount(int address = -1) const;
    std::map<std::int32_t, SlotRecord> slots(int address = -1) const;
    std::optional<ScramblingMap> scramblingMap(int address = -1) const;
    std::string stateJson() const;  // every device: address, slots, slot count, scrambling map, boot mode

    // Programming memory and mode of a device (by its configured address).
    std::vector<std::uint8_t> flash(int address = -1) const;
    std::vector<std::uint8_t> eeprom(int address = -1) const;
    bool inBootMode(int address = -1) const;
    int currentAddress(int configuredAddress = -1) const;  // after command 4

    std::vector<ReceivedFrame> received() const;
    void clearReceived();
    // Blocks until at least `count` frames have been received or the time is up.
    bool waitForFrames(std::size_t count, int timeoutMs) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace headend
