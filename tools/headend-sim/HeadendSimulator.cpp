#include "HeadendSimulator.h"

#include "LinkCodec.h"
#include "SimDevice.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace headend {

namespace {
using Clock = std::chrono::steady_clock;
// Ten bit times of an 8N1 byte at 38,400 bit/s.
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 38400);
// A frame whose bytes stop coming for this long is dropped and the receiver looks for a new start byte.
constexpr auto kFrameGap = std::chrono::milliseconds(200);

bool findFrameError(const std::vector<std::uint8_t>& frame) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum) != frame.back();
}

// Splits the bytes between LEN and the check byte into relays, address, command and payload.
ReceivedFrame describe(const std::vector<std::uint8_t>& frame) {
    ReceivedFrame f;
    f.raw = frame;
    f.checkOk = frame.size() >= 5 && !findFrameError(frame);
    if (frame.size() < 5) return f;
    std::size_t at = 2;
    const std::size_t end = frame.size() - 1;
    while (end - at >= 4 && frame[at + 1] == mirlak::kRelayCommand) {
        f.relays.push_back(frame[at]);
        at += 2;
    }
    if (end - at >= 2) {
        f.address = frame[at];
        f.command = frame[at + 1];
        f.payload.assign(frame.begin() + static_cast<std::ptrdiff_t>(at + 2),
                         frame.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return f;
}

void appendWords(std::ostringstream& out, const std::array<std::uint16_t, 62>& words) {
    out << '[';
    for (std::size_t i = 0; i < words.size(); ++i) out << (i ? "," : "") << words[i];
    out << ']';
}
}  // namespace

struct Simulator::Impl {
    Options options;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<SimDevice> devices;
    std::vector<ReceivedFrame> received;
    bool paced = false;
    int lateDelayMs = 2500;
    bool stopping = false;

    int master = -1;
    int slave = -1;
    int wake[2] = {-1, -1};
    std::string terminal;
    std::filesystem::path link;
    std::thread thread;

    const SimDevice* find(int address) const {
        if (devices.empty()) return nullptr;
        if (address < 0) return &devices.front();
        for (const SimDevice& d : devices)
            if (d.config().address == address) return &d;
        return nullptr;
    }

    // Waits up to `delay`, returning early (false) when the simulator stops.
    bool sleepFor(std::chrono::nanoseconds delay) {
        std::unique_lock lock(mutex);
        return !changed.wait_for(lock, delay, [this] { return stopping; });
    }

    void writeReply(const std::vector<std::uint8_t>& bytes, Clock::time_point lineFree, bool pace) {
        if (pace) {
            std::this_thread::sleep_until(lineFree);
            auto next = Clock::now();
            for (std::uint8_t b : bytes) {
                next += kByteTime;
                writeAll(&b, 1);
                std::this_thread::sleep_until(next);
            }
        } else {
            writeAll(bytes.data(), bytes.size());
        }
    }

    void writeAll(const std::uint8_t* p, std::size_t n) {
        while (n > 0) {
            const ssize_t w = ::write(master, p, n);
            if (w > 0) {
                p += w;
                n -= static_cast<std::size_t>(w);
            } else if (w < 0 && errno != EINTR && errno != EAGAIN) {
                return;
            } else if (w < 0 && errno == EAGAIN) {
                pollfd pf {master, POLLOUT, 0};
                ::poll(&pf, 1, 50);
            }
        }
    }

    // Finds who answers `frame` (passing it through relays) and returns the reply to put on the line.
    std::optional<std::vector<std::uint8_t>> dispatch(const std::vector<std::uint8_t>& frame, int behind,
                                                      int& lateMs) {
        if (frame.size() < 5 || findFrameError(frame)) return std::nullopt;
        const std::uint8_t address = frame[2], command = frame[3];
        const std::span<const std::uint8_t> payload(frame.data() + 4, frame.size() - 5);
        for (SimDevice& device : devices) {
            if (device.config().relayAddress != behind) continue;
            if (command == mirlak::kRelayCommand && !device.bootMode() && address == device.address()) {
                if (payload.size() < 2) return std::nullopt;
                // Pass the rest of the frame on, framed anew, to the devices behind this one.
                auto inner = mirlak::buildRequest(payload[0], payload[1], payload.subspan(2));
                return dispatch(inner, device.config().address, lateMs);
            }
            if (!device.answers(address, command)) continue;
            const Misbehaviour how =
                device.takeMisbehaviour(SimDevice::isStatusCommand(command, device.bootMode()));
            if (how == Misbehaviour::Silent) return std::nullopt;
            if (how == Misbehaviour::LengthZero) return std::vector<std::uint8_t> {0};
            auto reply = device.handle(command, payload, how);
            if (!reply) return std::nullopt;
            auto bytes = mirlak::buildReply(*reply);
            if (how == Misbehaviour::CorruptCheck) bytes.back() = static_cast<std::uint8_t>(bytes.back() + 1);
            if (how == Misbehaviour::AnswerLate) lateMs = lateDelayMs;
            return bytes;
        }
        return std::nullopt;
    }

    void onFrame(const std::vector<std::uint8_t>& frame, Clock::time_point firstByte) {
        std::optional<std::vector<std::uint8_t>> reply;
        int lateMs = 0;
        bool pace = false;
        {
            std::lock_guard lock(mutex);
            received.push_back(describe(frame));
            reply = dispatch(frame, -1, lateMs);
            pace = paced;
        }
        changed.notify_all();
        if (!reply) return;
        if (lateMs > 0 && !sleepFor(std::chrono::milliseconds(lateMs))) return;
        // When paced, the request itself took its line time to arrive before the device could answer.
        writeReply(*reply, firstByte + kByteTime * static_cast<long>(frame.size()), pace);
    }

    void run() {
        std::vector<std::uint8_t> frame;
        Clock::time_point firstByte {}, lastByte {};
        std::uint8_t buf[512];
        for (;;) {
            pollfd fds[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
            const int r = ::poll(fds, 2, 100);
            if (r < 0 && errno != EINTR) return;
            if (fds[1].revents) return;
            if (!(fds[0].revents & POLLIN)) {
                if (fds[0].revents & (POLLHUP | POLLERR)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) continue;
            const auto now = Clock::now();
            if (!frame.empty() && now - lastByte > kFrameGap) frame.clear();
            lastByte = now;
            for (ssize_t i = 0; i < n; ++i) {
                if (frame.empty()) {
                    if (buf[i] != mirlak::kStartByte) continue;  // noise between frames
                    firstByte = now;
                }
                frame.push_back(buf[i]);
                if (frame.size() >= 2 && frame.size() == frame[1] + 2u) {
                    onFrame(frame, firstByte);
                    frame.clear();
                }
            }
        }
    }

    void closeAll() {
        for (int* fd : {&master, &slave, &wake[0], &wake[1]})
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
    }
};

Simulator::Simulator(Options options) : d(std::make_unique<Impl>()) {
    d->options = std::move(options);
    d->paced = d->options.paced;
    d->lateDelayMs = d->options.lateDelayMs;
    for (const DeviceConfig& c : d->options.devices) d->devices.emplace_back(c);
}

Simulator::~Simulator() { stop(); }

bool Simulator::start(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what + (errno ? std::string(": ") + std::strerror(errno) : std::string());
        d->closeAll();
        return false;
    };
    if (d->thread.joinable()) return true;
    errno = 0;
    d->master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (d->master < 0 || ::grantpt(d->master) != 0 || ::unlockpt(d->master) != 0)
        return fail("cannot open a pseudo-terminal");
    char name[128] = {};
    if (::ptsname_r(d->master, name, sizeof name) != 0) return fail("cannot name the pseudo-terminal");
    d->terminal = name;
    // Keep the terminal side open ourselves, raw, so that it neither echoes nor hangs up between users.
    d->slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (d->slave < 0) return fail("cannot open " + d->terminal);
    termios tio {};
    ::tcgetattr(d->slave, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    ::tcsetattr(d->slave, TCSANOW, &tio);
    ::fcntl(d->master, F_SETFL, ::fcntl(d->master, F_GETFL) | O_NONBLOCK);
    if (::pipe2(d->wake, O_CLOEXEC) != 0) return fail("cannot create a pipe");

    d->link = d->options.directory / ("COM" + std::to_string(d->options.comNumber));
    std::error_code ec;
    if (std::filesystem::is_symlink(d->link, ec))
        std::filesystem::remove(d->link, ec);
    else if (std::filesystem::exists(d->link, ec)) {
        errno = EEXIST;
        return fail("refusing to replace " + d->link.string() + ", which is not a link");
    }
    std::filesystem::create_symlink(d->terminal, d->link, ec);
    if (ec) {
        errno = ec.value();
        return fail("cannot create the link " + d->link.string());
    }
    d->stopping = false;
    d->thread = std::thread([this] { d->run(); });
    return true;
}

void Simulator::stop() {
    if (d->thread.joinable()) {
        {
            std::lock_guard lock(d->mutex);
            d->stopping = true;
        }
        d->changed.notify_all();
        const char b = 0;
        [[maybe_unused]] auto w = ::write(d->wake[1], &b, 1);
        d->thread.join();
    }
    if (!d->link.empty()) {
        std::error_code ec;
        if (std::filesystem::is_symlink(d->link, ec)) std::filesystem::remove(d->link, ec);
        d->link.clear();
    }
    d->closeAll();
}

std::filesystem::path Simulator::linkPath() const {
    return d->options.directory / ("COM" + std::to_string(d->options.comNumber));
}
std::string Simulator::terminalPath() const { return d->terminal; }
int Simulator::portIndex() const { return d->options.comNumber - 1; }

void Simulator::setMisbehaviour(Misbehaviour what, int times, int address) {
    std::lock_guard lock(d->mutex);
    for (SimDevice& device : d->devices)
        if (address < 0 || device.config().address == address) device.setMisbehaviour(what, times);
}

void Simulator::setPaced(bool paced) {
    std::lock_guard lock(d->mutex);
    d->paced = paced;
}

void Simulator::setLateDelayMs(int ms) {
    std::lock_guard lock(d->mutex);
    d->lateDelayMs = ms;
}

HeadendState Simulator::state(int address) const {
    std::lock_guard lock(d->mutex);
    const SimDevice* device = d->find(address);
    return device ? device->state() : HeadendState {};
}
std::int32_t Simulator::slotCount(int address) const { return state(address).slotCount; }
std::map<std::int32_t, SlotRecord> Simulator::slots(int address) const { return state(address).slots; }
std::optional<ScramblingMap> Simulator::scramblingMap(int address) const { return state(address).scramblingMap; }

std::vector<std::uint8_t> Simulator::flash(int address) const {
    std::lock_guard lock(d->mutex);
    const SimDevice* device = d->find(address);
    return device ? device->flash() : std::vector<std::uint8_t> {};
}
std::vector<std::uint8_t> Simulator::eeprom(int address) const {
    std::lock_guard lock(d->mutex);
    const SimDevice* device = d->find(address);
    return device ? device->eeprom() : std::vector<std::uint8_t> {};
}
bool Simulator::inBootMode(int address) const {
    std::lock_guard lock(d->mutex);
    const SimDevice* device = d->find(address);
    return device && device->bootMode();
}
int Simulator::currentAddress(int configuredAddress) const {
    std::lock_guard lock(d->mutex);
    const SimDevice* device = d->find(configuredAddress);
    return device ? device->address() : -1;
}

std::vector<ReceivedFrame> Simulator::received() const {
    std::lock_guard lock(d->mutex);
    return d->received;
}
void Simulator::clearReceived() {
    std::lock_guard lock(d->mutex);
    d->received.clear();
}
bool Simulator::waitForFrames(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return d->received.size() >= count; });
}

std::string Simulator::stateJson() const {
    std::lock_guard lock(d->mutex);
    std::ostringstream out;
    out << "{\"devices\":[";
    for (std::size_t i = 0; i < d->devices.size(); ++i) {
        const SimDevice& device = d->devices[i];
        const HeadendState& s = device.state();
        out << (i ? "," : "") << "{\"configuredAddress\":" << int(device.config().address)
            << ",\"address\":" << int(device.address()) << ",\"relayAddress\":" << device.config().relayAddress
            << ",\"bootMode\":" << (device.bootMode() ? "true" : "false") << ",\"slotCount\":" << s.slotCount
            << ",\"taskPackets\":" << s.taskPackets.size() << ",\"slots\":[";
        bool first = true;
        for (const auto& [slot, rec] : s.slots) {
            out << (first ? "" : ",") << "{\"slot\":" << slot << ",\"record\":" << rec.record
                << ",\"balance\":" << rec.balance << ",\"words\":";
            appendWords(out, rec.words);
            out << '}';
            first = false;
        }
        out << "],\"scramblingMap\":";
        if (s.scramblingMap) {
            out << "{\"streams\":" << int(s.scramblingMap->streams) << ",\"words\":";
            appendWords(out, s.scramblingMap->words);
            out << '}';
        } else {
            out << "null";
        }
        out << '}';
    }
    out << "]}";
    return out.str();
}

}  // namespace headend
