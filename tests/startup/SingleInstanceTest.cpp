// One running copy per machine: a second copy is refused with the message, and a copy that died leaves
// nothing behind that blocks the next start.
#include "startup/SingleInstance.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kavrin;
using kavrin::test::ScriptedDialogs;

TEST(SingleInstanceTest, SecondCopyIsRefusedWithTheMessageUntilTheFirstEnds) {
    QTemporaryDir dir;
    const QString lock = QDir(dir.path()).filePath("Kavrin.exe.lock");
    ScriptedDialogs dialogs;
    {
        SingleInstance first(lock);
        EXPECT_TRUE(admitThisCopy(first));
        SingleInstance second(lock);
        EXPECT_FALSE(admitThisCopy(second));
        EXPECT_EQ(dialogs.messages(),
                  QStringList{"Уже запущена одна копия приложения. Вторая копия будет завершена."});
    }
    SingleInstance after(lock);
    EXPECT_TRUE(after.isFirst());
}

TEST(SingleInstanceTest, CopyThatWasKilledDoesNotBlockTheNextStart) {
    QTemporaryDir dir;
    const QString lock = QDir(dir.path()).filePath("Kavrin.exe.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(lock);
        const char ok = held.isFirst() ? '1' : '0';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    EXPECT_FALSE(SingleInstance(lock).isFirst());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(SingleInstance(lock).isFirst());
    close(ready[0]);
    close(ready[1]);
}
