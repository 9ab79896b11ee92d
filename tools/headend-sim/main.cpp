// headend-sim: plays a head-end on a pseudo-terminal so that the task server can be tried without hardware.
#include "HeadendSimulator.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

std::atomic<bool> g_stop {false};
void onSignal(int) { g_stop = true; }

const char* kHelp = R"(Usage: headend-sim [options]

Plays a DVB head-end on a pseudo-terminal. The terminal is linked as COM<n> in the chosen
directory; start the task server in that directory with port n-1 in ostrel.conf and it talks
to the simulator as it would to the device. Stop with Ctrl+C; the state is then printed as JSON.

Options:
  -d, --dir DIR          directory in which to create the COM<n> link (default: current directory)
  -p, --port N           name the link COM<N> (default 1, that is port index 0)
  -a, --address A        add a device with address A (1..253); repeat for several devices.
                         Without this option one device with address 1 is played.
  -r, --behind R         the device added last is reached only through the relay device R
      --boot             the device added last starts in boot mode, as right after a reset
      --page-size N      flash page size in bytes of the device added last (default 128)
      --pages N          number of flash pages (default 32)
      --eeprom N         EEPROM size in bytes (default 256)
      --paced            send bytes at the real 38,400 bit/s
  -m, --misbehave WHAT   none, zero (status replies carry 0), late, corrupt (wrong check byte),
                         silent (no replies) or length0 (a reply of the single byte 0)
      --times N          misbehave for the next N replies only (default: until stopped)
      --late-ms MS       delay of late replies (default 2500)
  -s, --state FILE       keep FILE up to date with the state as JSON
  -v, --verbose          print every frame received
  -h, --help             show this help
)";

bool parseInt(const char* text, long min, long max, long& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || !end || *end || end == text || v < min || v > max) return false;
    out = v;
    return true;
}

bool parseMisbehaviour(const std::string& text, headend::Misbehaviour& out) {
    using headend::Misbehaviour;
    const std::pair<const char*, Misbehaviour> names[] = {
        {"none", Misbehaviour::None},       {"zero", Misbehaviour::AnswerZero},
        {"late", Misbehaviour::AnswerLate}, {"corrupt", Misbehaviour::CorruptCheck},
        {"silent", Misbehaviour::Silent},   {"length0", Misbehaviour::LengthZero}};
    for (const auto& [name, value] : names)
        if (text == name) {
            out = value;
            return true;
        }
    return false;
}

void writeState(const headend::Simulator& sim, const std::string& file) {
    const std::string tmp = file + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << sim.stateJson() << '\n';
        if (!out) return;
    }
    std::rename(tmp.c_str(), file.c_str());
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    char b[4];
    for (std::uint8_t v : bytes) {
        std::snprintf(b, sizeof b, "%02X ", v);
        s += b;
    }
    if (!s.empty()) s.pop_back();
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    headend::Simulator::Options options;
    options.devices.clear();
    headend::Misbehaviour misbehaviour = headend::Misbehaviour::None;
    long times = -1, lateMs = 2500;
    std::string stateFile;
    bool verbose = false;

    auto fail = [](const std::string& message) {
        std::cerr << "headend-sim: " << message << "\nTry 'headend-sim --help'.\n";
        return 2;
    };
    auto lastDevice = [&]() -> headend::DeviceConfig& {
        if (options.devices.empty()) options.devices.emplace_back();
        return options.devices.back();
    };

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](long min, long max, long& out) {
            if (i + 1 >= argc) return false;
            return parseInt(argv[++i], min, max, out);
        };
        long v = 0;
        if (arg == "-h" || arg == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "-d" || arg == "--dir") {
            if (i + 1 >= argc) return fail(arg + " needs a directory");
            options.directory = argv[++i];
        } else if (arg == "-p" || arg == "--port") {
            if (!value(1, 256, v)) return fail(arg + " needs a number from 1 to 256");
            options.comNumber = static_cast<int>(v);
        } else if (arg == "-a" || arg == "--address") {
            if (!value(1, 253, v)) return fail(arg + " needs an address from 1 to 253");
            options.devices.emplace_back().address = static_cast<std::uint8_t>(v);
        } else if (arg == "-r" || arg == "--behind") {
            if (!value(1, 253, v)) return fail(arg + " needs an address from 1 to 253");
            lastDevice().relayAddress = static_cast<int>(v);
        } else if (arg == "--boot") {
            lastDevice().startInBootMode = true;
        } else if (arg == "--page-size") {
            if (!value(1, 452, v)) return fail(arg + " needs a size from 1 to 452");
            lastDevice().flashPageSize = static_cast<std::uint16_t>(v);
        } else if (arg == "--pages") {
            if (!value(1, 4096, v)) return fail(arg + " needs a count from 1 to 4096");
            lastDevice().flashPages = static_cast<std::uint16_t>(v);
        } else if (arg == "--eeprom") {
            if (!value(1, 65535, v)) return fail(arg + " needs a size from 1 to 65535");
            lastDevice().eepromSize = static_cast<std::uint16_t>(v);
        } else if (arg == "--paced") {
            options.paced = true;
        } else if (arg == "-m" || arg == "--misbehave") {
            if (i + 1 >= argc || !parseMisbehaviour(argv[++i], misbehaviour))
                return fail(arg + " needs one of none, zero, late, corrupt, silent, length0");
        } else if (arg == "--times") {
            if (!value(1, 1000000, times)) return fail(arg + " needs a positive number");
        } else if (arg == "--late-ms") {
            if (!value(0, 600000, lateMs)) return fail(arg + " needs milliseconds from 0 to 600000");
        } else if (arg == "-s" || arg == "--state") {
            if (i + 1 >= argc) return fail(arg + " needs a file name");
            stateFile = argv[++i];
        } else if (arg == "-v" || arg == "--verbose") {
            verbose = true;
        } else {
            return fail("unknown option " + arg);
        }
    }
    if (options.devices.empty()) options.devices.emplace_back();
    options.lateDelayMs = static_cast<int>(lateMs);

    headend::Simulator sim(options);
    std::string error;
    if (!sim.start(&error)) {
        std::cerr << "headend-sim: " << error << '\n';
        return 1;
    }
    sim.setMisbehaviour(misbehaviour, static_cast<int>(times));
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    std::cout << "headend-sim: " << sim.linkPath().string() << " -> " << sim.terminalPath() << " (port index "
              << sim.portIndex() << "), devices:";
    for (const auto& dev : options.devices) {
        std::cout << ' ' << int(dev.address);
        if (dev.relayAddress >= 0) std::cout << " (behind " << dev.relayAddress << ')';
    }
    std::cout << (options.paced ? ", paced at 38400 bit/s" : "") << std::endl;

    std::size_t shown = 0;
    if (!stateFile.empty()) writeState(sim, stateFile);
    while (!g_stop) {
        sim.waitForFrames(shown + 1, 200);
        const auto frames = sim.received();
        if (frames.size() == shown) continue;
        for (std::size_t i = shown; verbose && i < frames.size(); ++i) {
            const auto& f = frames[i];
            std::cout << "frame to " << int(f.address) << " command " << int(f.command) << ", "
                      << f.payload.size() << " payload bytes" << (f.checkOk ? "" : ", BAD CHECK BYTE") << ": "
                      << hex(f.raw) << std::endl;
        }
        shown = frames.size();
        if (!stateFile.empty()) writeState(sim, stateFile);
    }
    sim.stop();
    if (!stateFile.empty()) writeState(sim, stateFile);
    std::cout << sim.stateJson() << std::endl;
    return 0;
}
