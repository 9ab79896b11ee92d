#include "startup/SingleInstance.h"

#include "common/Dialogs.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavrin {

SingleInstance::SingleInstance(const QString& lockPath) {
    const QByteArray path = QFile::encodeName(lockPath);
    // Open an existing file without O_CREAT: in a sticky temporary folder the kernel may refuse O_CREAT on a
    // file that another user created, even though locking it is allowed.
    fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) {
        fd_ = ::open(path.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ >= 0) ::fchmod(fd_, 0666);  // any user of the machine must be able to take it later
    }
    // A lock file that cannot be opened at all (a broken temporary folder) must not lock the operator out.
    if (fd_ < 0) return;
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK) first_ = false;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}

QString SingleInstance::defaultLockPath() { return QDir::tempPath() + QStringLiteral("/Kavrin.exe.lock"); }

bool admitThisCopy(const SingleInstance& instance) {
    if (instance.isFirst()) return true;
    showMessage(kSecondCopyMessage);
    return false;
}

}  // namespace kavrin
