// Cost of putting one request frame on a pseudo-terminal: the 145-byte frame of a full subscriber
// record (task type 1) written in one call by WritePack, the same bytes written one call per byte, and
// the floor: one bare write() of the prepared frame on the same terminal.
#include "CComPort.h"
#include "CDvbComm.h"
#include "LinkCodec.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A pseudo-terminal linked as COM1 in a temporary working directory, with a thread that reads and drops
// whatever the port writes, as a device would take it off the line.
class Line {
public:
    Line() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavrin-bench-XXXXXX").string();
        m_Dir = ::mkdtemp(pattern.data());
        m_Previous = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        m_Master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_Master);
        ::unlockpt(m_Master);
        const std::string name = ::ptsname(m_Master);
        m_Slave = ::open(name.c_str(), O_RDWR | O_NOCTTY);
        termios tio {};
        ::tcgetattr(m_Slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_Slave, TCSANOW, &tio);
        std::filesystem::create_symlink(name, m_Dir / "COM1");
        m_Reader = std::thread([this] {
            char buf[4096];
            while (!m_Stop) {
                pollfd p {m_Master, POLLIN, 0};
                if (::poll(&p, 1, 50) > 0) [[maybe_unused]] auto n = ::read(m_Master, buf, sizeof buf);
            }
        });
    }
    ~Line() {
        m_Stop = true;
        m_Reader.join();
        ::close(m_Slave);
        ::close(m_Master);
        std::filesystem::current_path(m_Previous);
        std::filesystem::remove_all(m_Dir);
    }
    int slave() const { return m_Slave; }

private:
    std::filesystem::path m_Dir, m_Previous;
    int m_Master = -1, m_Slave = -1;
    std::atomic<bool> m_Stop {false};
    std::thread m_Reader;
};

std::vector<unsigned char> taskPacket() {
    std::vector<unsigned char> p(141);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<unsigned char>(i * 13 + 1);
    p[0] = 1;
    return p;
}

void BM_Floor_OneBareWrite(benchmark::State& state) {
    Line line;
    const auto packet = taskPacket();
    const auto frame = mirlak::buildRequest(1, 173, packet);
    for (auto _ : state) benchmark::DoNotOptimize(::write(line.slave(), frame.data(), frame.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.size()));
}

void BM_WritePack_WholeFrame(benchmark::State& state) {
    Line line;
    CDvbComm link(0);
    const auto packet = taskPacket();
    for (auto _ : state) link.WritePack(1, 173, packet.data(), static_cast<unsigned>(packet.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (packet.size() + 4)));
}

void BM_ByteByByte(benchmark::State& state) {
    Line line;
    CComPort port(0, 38400);
    const auto packet = taskPacket();
    const auto frame = mirlak::buildRequest(1, 173, packet);
    for (auto _ : state)
        for (unsigned char b : frame) port.WriteByte(b);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.size()));
}

BENCHMARK(BM_Floor_OneBareWrite);
BENCHMARK(BM_WritePack_WholeFrame);
BENCHMARK(BM_ByteByByte);

}  // namespace

BENCHMARK_MAIN();
