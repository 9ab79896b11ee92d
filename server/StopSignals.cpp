#include "StopSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ostrel {

namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here; a full pipe already holds a pending stop.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) return;
    m_Notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_Notifier, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(g_pipe[0], buf, sizeof buf) > 0) {
        }
        emit stopRequested();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

StopSignals::~StopSignals() {
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    delete m_Notifier;
    m_Notifier = nullptr;
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace ostrel
