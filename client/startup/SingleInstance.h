#pragma once
// One running copy of the client per machine. The copy that starts first holds an exclusive lock on a file
// in the temporary folder for as long as it runs; the system drops the lock when the process ends, so a copy
// that crashed never blocks the next start.
#include <QString>

namespace kavrin {

class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath = defaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy already holds the lock.
    bool isFirst() const { return first_; }

    static QString defaultLockPath();

private:
    int fd_ = -1;
    bool first_ = true;
};

// Shows the refusal to a second copy; returns whether this copy may run.
bool admitThisCopy(const SingleInstance& instance);

inline const QString kSecondCopyMessage =
    QStringLiteral("Уже запущена одна копия приложения. Вторая копия будет завершена.");

}  // namespace kavrin
