// The serial port over a pseudo-terminal: naming, check sums, words, time-outs, flushing, and a dead line.
#include "CComPort.h"
#include "CMyTimer.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using simtest::elapsedMs;
using simtest::TempWorkDir;

// The far end of the line: the master side of a pseudo-terminal whose terminal side is linked as COM<n>.
class PtyPeer {
public:
    explicit PtyPeer(const std::filesystem::path& dir, int comNumber = 1) {
        m_Master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_Master);
        ::unlockpt(m_Master);
        const std::string name = ::ptsname(m_Master);
        // Held open and raw so that the line neither echoes nor hangs up before the port opens it.
        m_Slave = ::open(name.c_str(), O_RDWR | O_NOCTTY);
        termios tio {};
        ::tcgetattr(m_Slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_Slave, TCSANOW, &tio);
        std::filesystem::create_symlink(name, dir / ("COM" + std::to_string(comNumber)));
    }
    ~PtyPeer() {
        ::close(m_Slave);
        ::close(m_Master);
    }
    void send(const std::vector<unsigned char>& bytes) const {
        ASSERT_EQ(::write(m_Master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Whatever arrives within `ms` after the last byte.
    std::vector<unsigned char> take(int ms = 100) const {
        std::vector<unsigned char> out;
        unsigned char buf[4096];
        pollfd p {m_Master, POLLIN, 0};
        while (::poll(&p, 1, ms) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(m_Master, buf, sizeof buf);
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

private:
    int m_Master = -1;
    int m_Slave = -1;
};

// Opens the protected check-sum members for inspection.
class TestPort : public CComPort {
public:
    using CComPort::CComPort;
    using CComPort::Flush;
    using CComPort::GetRxCrc;
    using CComPort::GetTxCrc;
    using CComPort::StartRxCrc;
    using CComPort::StartTxCrc;
};

class ComPortTest : public ::testing::Test {
protected:
    TempWorkDir dir;
    PtyPeer peer {dir.path()};
    TestPort port {0, 38400};
};

TEST(ComPortNaming, IndexMapsToComFileInWorkingDirectoryElseSerialDevice) {
    TempWorkDir dir;
    EXPECT_EQ(CComPort::DeviceNameFor(0), "/dev/ttyS0");
    PtyPeer first(dir.path(), 1), tenth(dir.path(), 10);
    EXPECT_EQ(CComPort::DeviceNameFor(0), "COM1");
    EXPECT_EQ(CComPort::DeviceNameFor(9), "COM10");
    EXPECT_EQ(CComPort::DeviceNameFor(4), "/dev/ttyS4");
    EXPECT_TRUE(CComPort(9, 38400).PortOk());
}

TEST(ComPortNaming, AFileThatIsNoTerminalIsNotAPort) {
    TempWorkDir dir;
    { std::FILE* f = std::fopen("COM1", "w"); std::fclose(f); }
    EXPECT_FALSE(CComPort(0, 38400).PortOk());
}

TEST(ComPortClosed, EveryOperationIsHarmless) {
    TempWorkDir dir;
    TestPort port(40, 38400);  // neither COM41 nor /dev/ttyS40 exists
    ASSERT_FALSE(port.PortOk());
    port.StartTxCrc();
    port.WriteByte(0x55);
    port.WriteWord(0x1234);
    unsigned char buf[2] = {1, 2};
    EXPECT_FALSE(port.WriteBuf(buf, 2));
    EXPECT_EQ(port.GetTxCrc(), 0);
    EXPECT_EQ(port.ReadByte(), -1);
    EXPECT_EQ(port.ReadWord(), -1);
    EXPECT_FALSE(port.ReadBuf(buf, 1));
    EXPECT_TRUE(port.ReadBuf(buf, 0));
    port.Dtr(true);
    port.Rts(true);
    port.Flush();
}

TEST_F(ComPortTest, TransmitSumIsTheLowByteOfEverythingWritten) {
    ASSERT_TRUE(port.PortOk());
    port.StartTxCrc();
    port.WriteByte(0x71);
    port.WriteByte(0x05);
    EXPECT_EQ(port.GetTxCrc(), 0x76);

    port.StartTxCrc();
    const unsigned char bytes[] = {0xFF, 0xFF};  // sum 0x1FE
    EXPECT_TRUE(port.WriteBuf(bytes, 2));
    EXPECT_EQ(port.GetTxCrc(), 0xFE);

    port.StartTxCrc();
    port.WriteByte(0x1AB);  // only the low byte goes out, and the sum grows by it modulo 256
    EXPECT_EQ(port.GetTxCrc(), 0xAB);
    port.WriteWord(0x1234);
    EXPECT_EQ(peer.take(), (std::vector<unsigned char> {0x71, 0x05, 0xFF, 0xFF, 0xAB, 0x34, 0x12}));
}

TEST_F(ComPortTest, WordsAreLittleEndianAndAHalfWordStillCounts) {
    port.StartRxCrc();
    peer.send({0x34, 0x12});
    EXPECT_EQ(port.ReadWord(), 0x1234);
    EXPECT_EQ(port.GetRxCrc(), 0x46);

    port.StartRxCrc();
    peer.send({0x34});
    EXPECT_EQ(port.ReadWord(), -1);
    EXPECT_EQ(port.GetRxCrc(), 0x34);
}

TEST_F(ComPortTest, ReadBufTakesExactlyTheCountAndLeavesTheRest) {
    peer.send({1, 2, 3, 4, 5});
    unsigned char buf[3] = {};
    port.StartRxCrc();
    ASSERT_TRUE(port.ReadBuf(buf, 3));
    EXPECT_EQ(std::vector<unsigned char>(buf, buf + 3), (std::vector<unsigned char> {1, 2, 3}));
    EXPECT_EQ(port.GetRxCrc(), 6);
    EXPECT_EQ(port.ReadByte(), 4);
    EXPECT_EQ(port.ReadByte(), 5);
    EXPECT_EQ(port.ReadByte(), -1);
}

TEST_F(ComPortTest, AMissingByteEndsAReadAfterAboutTwentyMilliseconds) {
    long long ms = elapsedMs([&] { EXPECT_EQ(port.ReadByte(), -1); });
    EXPECT_GE(ms, 15);
    EXPECT_LT(ms, 200);

    // A byte that arrives inside the wait is taken.
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        peer.send({0x42});
    });
    EXPECT_EQ(port.ReadByte(), 0x42);
    late.join();
}

TEST_F(ComPortTest, FlushDiscardsWhatIsWaiting) {
    peer.send({9, 9, 9});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    port.Flush();
    EXPECT_EQ(port.ReadByte(), -1);
}

TEST(ComPortWrite, AWriteToALineThatTakesNothingGivesUpInsteadOfHanging) {
    TempWorkDir dir;
    PtyPeer peer(dir.path());
    // Nobody reads the far end: the pseudo-terminal's queue fills and stays full. A fast rate keeps the
    // stall time-out short.
    CComPort port(0, 921600);
    std::vector<unsigned char> big(1 << 20, 0x5A);
    bool ok = true;
    const long long ms = elapsedMs([&] { ok = port.WriteBuf(big.data(), static_cast<int>(big.size())); });
    EXPECT_FALSE(ok);
    EXPECT_LT(ms, 5000);
}

TEST(MyTimer, DeadlinesOnTheMonotonicClock) {
    EXPECT_TRUE(CMyTimer(-1).Elapse());
    EXPECT_EQ(CMyTimer(-5).Remaining(), 0);

    const CMyTimer zero(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(zero.Elapse());

    const CMyTimer t(50);
    EXPECT_FALSE(t.Elapse());
    EXPECT_GT(t.Remaining(), 0);
    EXPECT_LE(t.Remaining(), 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_TRUE(t.Elapse());
    EXPECT_EQ(t.Remaining(), 0);
}

}  // namespace
