#include "CComPort.h"

#include "CMyTimer.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t speedFor(unsigned long rate) {
    switch (rate) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return 0;
    }
}

// A byte is ten bit times on an 8N1 line. The driver takes bytes as its queue drains; a full queue of a
// serial driver (4096 bytes) frees room at the line rate. A write gives up only when nothing at all was
// taken for twice the time that queue needs plus a margin: a live line at the set rate always gets there,
// a dead one (an unplugged adapter, a peer that reads nothing) cannot block the caller for long.
int stallTimeoutMs(unsigned long rate) {
    if (rate == 0) rate = 9600;
    constexpr long long kDriverQueue = 4096;
    return static_cast<int>((kDriverQueue * 10 * 1000 * 2 + static_cast<long long>(rate) - 1) / rate + 100);
}

}  // namespace

std::string CComPort::DeviceNameFor(int port) {
    const std::string local = "COM" + std::to_string(port + 1);
    struct stat st {};
    if (::stat(local.c_str(), &st) == 0) return local;
    return "/dev/ttyS" + std::to_string(port);
}

CComPort::CComPort(int port, unsigned long baudRate) : m_BaudRate(baudRate) {
    m_TxCrc = 0;
    m_RxCrc = 0;
    if (port < 0) return;
    const int fd = ::open(DeviceNameFor(port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    if (!::isatty(fd) || ::ioctl(fd, TIOCEXCL) != 0) {
        // Not a terminal, or another program holds it exclusively.
        ::close(fd);
        return;
    }
    termios tio {};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY | PARMRK | IGNPAR);
        tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        if (const speed_t speed = speedFor(baudRate)) {
            ::cfsetispeed(&tio, speed);
            ::cfsetospeed(&tio, speed);
        }
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    m_hPort = fd;
    // Modem lines start dropped: the devices take a raised DTR as a reset request.
    setModemLine(TIOCM_DTR, false);
    setModemLine(TIOCM_RTS, false);
}

CComPort::~CComPort() {
    if (m_hPort >= 0) ::close(m_hPort);
    m_hPort = -1;
}

bool CComPort::PortOk() const { return m_hPort >= 0; }

void CComPort::setModemLine(int line, bool on) {
    if (m_hPort < 0) return;
    // A pseudo-terminal has no modem lines; the request then fails harmlessly.
    ::ioctl(m_hPort, on ? TIOCMBIS : TIOCMBIC, &line);
}

void CComPort::Rts(bool on) { setModemLine(TIOCM_RTS, on); }
void CComPort::Dtr(bool on) { setModemLine(TIOCM_DTR, on); }

void CComPort::Flush() {
    if (m_hPort >= 0) ::tcflush(m_hPort, TCIOFLUSH);
}

void CComPort::DiscardInput() {
    if (m_hPort >= 0) ::tcflush(m_hPort, TCIFLUSH);
}

bool CComPort::writeAll(const unsigned char* buf, int count) {
    const int stallMs = stallTimeoutMs(m_BaudRate);
    CMyTimer stall(stallMs);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_hPort, buf + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            stall = CMyTimer(stallMs);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        const int left = stall.Remaining();
        if (left <= 0) return false;
        pollfd p {m_hPort, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) return false;
    }
    return true;
}

void CComPort::WriteByte(int value) {
    if (m_hPort < 0) return;
    const unsigned char b = static_cast<unsigned char>(value);
    m_TxCrc += value;
    writeAll(&b, 1);
}

void CComPort::WriteWord(int value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    WriteBuf(bytes, 2);
}

bool CComPort::WriteBuf(const unsigned char* buf, int count) {
    if (m_hPort < 0 || count < 0 || (count > 0 && !buf)) return false;
    for (int i = 0; i < count; ++i) m_TxCrc += buf[i];
    return count == 0 || writeAll(buf, count);
}

bool CComPort::WaitReadable(int timeoutMs) {
    if (m_hPort < 0) return false;
    const CMyTimer deadline(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        pollfd p {m_hPort, POLLIN, 0};
        const int r = ::poll(&p, 1, deadline.Remaining());
        if (r > 0) {
            if (p.revents & POLLIN) return true;
            // Hung up or in error: no byte can come, but the caller still expects the time-out to pass,
            // and must not spin on a dead line.
            ::poll(nullptr, 0, deadline.Remaining());
            return false;
        }
        if (r == 0) return false;
        if (errno != EINTR) return false;
    }
}

bool CComPort::ReadBuf(unsigned char* buf, int count) {
    if (count <= 0) return count == 0;
    if (m_hPort < 0 || !buf) return false;
    int done = 0;
    while (done < count) {
        // Ask for no more than is still wanted, so that nothing after this reply is taken from the line.
        const ssize_t n = ::read(m_hPort, buf + done, static_cast<size_t>(count - done));
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) m_RxCrc += buf[done + i];
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        if (!WaitReadable(kByteTimeoutMs)) return false;
    }
    return true;
}

int CComPort::ReadByte() {
    unsigned char b = 0;
    return ReadBuf(&b, 1) ? b : -1;
}

int CComPort::ReadWord() {
    unsigned char bytes[2] = {0, 0};
    if (!ReadBuf(bytes, 2)) return -1;
    return bytes[0] | (bytes[1] << 8);
}
