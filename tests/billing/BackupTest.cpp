// The backup with stand-in `mysqldump` and `rar` programs written into a scratch working directory, and once
// with the real `mysqldump` against the test server.
#include "BillingFixture.h"
#include "billing/Backup.h"
#include "common/Clock.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

const QString kBase = QStringLiteral("kavrin_mysql_backup_05.03.2010");

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        work_ = QDir(dir_.path());
        clock_.set(QDateTime(QDate(2010, 3, 5), QTime(12, 0)));
        Clock::install(&clock_);
        // The programs are looked for on PATH as well: hide the real ones.
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
    }
    void TearDown() override {
        qputenv("PATH", savedPath_);
        Clock::install(nullptr);
    }

    void script(const QString& name, const QString& body) {
        QFile f(work_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // A dumper that prints its arguments and what its option file holds, so both can be checked.
    void fakeDumper(const QString& extra = {}) {
        script(QStringLiteral("mysqldump"),
               QStringLiteral("echo \"args: $*\" > dump_args.txt\n"
                              "/bin/cat \"${1#--defaults-extra-file=}\" >> dump_args.txt\n"
                              "/usr/bin/stat -c %a \"${1#--defaults-extra-file=}\" >> dump_args.txt\n"
                              "echo \"${1#--defaults-extra-file=}\" > option_file.txt\n") +
                   (extra.isEmpty() ? QStringLiteral("echo \"-- dump $$\"") : extra));
    }
    // An archiver that "packs" by copying: rar a <archive> <file>.
    void fakeArchiver() { script(QStringLiteral("rar"), QStringLiteral("[ \"$1\" = a ] && /bin/cp \"$3\" \"$2\"")); }

    Backup backup() {
        Backup b(DumpLogin{QStringLiteral("oper"), QStringLiteral("db.local"), QStringLiteral("s3cret \"x\""), 3307}, work_);
        b.showTask = [this](const QString& t) { tasks_ << t; };
        b.hideTask = [this] { tasks_ << QStringLiteral("hidden"); };
        return b;
    }
    QString read(const QString& path) {
        QFile f(work_.filePath(path));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList folder() { return QDir(work_.filePath(Backup::folderName())).entryList(QDir::Files); }

    QTemporaryDir dir_;
    QDir work_;
    ManualClock clock_;
    ScriptedDialogs dialogs_;
    QStringList tasks_;
    QByteArray savedPath_;
};

TEST_F(BackupTest, DumpIsArchivedIntoTheFolderAndThePasswordStaysOffTheCommandLine) {
    fakeDumper();
    fakeArchiver();
    EXPECT_EQ(backup().Button10Click(), Backup::Archived);
    EXPECT_EQ(dialogs_.texts(), QStringList());
    EXPECT_EQ(tasks_, (QStringList{QStringLiteral("Задача: BackUP"), QStringLiteral("hidden")}));
    EXPECT_EQ(folder(), QStringList{kBase + QStringLiteral(".rar")});
    EXPECT_FALSE(work_.exists(kBase + QStringLiteral(".sql")));
    EXPECT_FALSE(work_.exists(kBase + QStringLiteral(".rar")));
    EXPECT_TRUE(read(Backup::folderName() + QLatin1Char('/') + kBase + QStringLiteral(".rar")).startsWith(QStringLiteral("-- dump")));

    const QString args = read(QStringLiteral("dump_args.txt"));
    EXPECT_TRUE(args.contains(QStringLiteral(" -uoper -P3307 -hdb.local kavrin\n"))) << args.toStdString();
    EXPECT_FALSE(args.section(QLatin1Char('\n'), 0, 0).contains(QStringLiteral("s3cret")));
    EXPECT_TRUE(args.contains(QStringLiteral("[client]\npassword=\"s3cret \\\"x\\\"\"\n"))) << args.toStdString();
    EXPECT_TRUE(args.contains(QStringLiteral("\n600\n"))) << args.toStdString();  // readable by its owner only
    EXPECT_FALSE(QFile::exists(read(QStringLiteral("option_file.txt")).trimmed()));  // removed afterwards
}

TEST_F(BackupTest, SecondBackupOfTheDayReplacesTheFirst) {
    fakeDumper(QStringLiteral("echo first"));
    fakeArchiver();
    ASSERT_EQ(backup().Button10Click(), Backup::Archived);
    fakeDumper(QStringLiteral("echo second"));
    ASSERT_EQ(backup().Button10Click(), Backup::Archived);
    EXPECT_EQ(folder(), QStringList{kBase + QStringLiteral(".rar")});
    EXPECT_EQ(read(Backup::folderName() + QLatin1Char('/') + kBase + QStringLiteral(".rar")), QStringLiteral("second\n"));
}

TEST_F(BackupTest, WithoutArchiverThePlainDumpIsKept) {
    fakeDumper();
    EXPECT_EQ(backup().Button10Click(), Backup::Unpacked);
    EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("Файл rar не найден. Поместите его в папку с программой или "
                                                              "в один из каталогов PATH.")});
    EXPECT_EQ(folder(), QStringList{kBase + QStringLiteral(".sql")});
    EXPECT_FALSE(work_.exists(kBase + QStringLiteral(".sql")));
}

TEST_F(BackupTest, ArchiverThatMakesNoArchiveLeavesTheDumpInTheFolder) {
    fakeDumper();
    script(QStringLiteral("rar"), QStringLiteral("exit 3"));
    EXPECT_EQ(backup().Button10Click(), Backup::Unpacked);
    EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("Внимание! Архиватор не создал архив. Резервная копия "
                                                              "сохранена без упаковки: db_backUP/") + kBase + ".sql"});
    EXPECT_EQ(folder(), QStringList{kBase + QStringLiteral(".sql")});
}

TEST_F(BackupTest, WithoutDumperNothingHappens) {
    fakeArchiver();
    EXPECT_EQ(backup().Button10Click(), Backup::DumperMissing);
    EXPECT_EQ(dialogs_.messages(), QStringList{QStringLiteral("Файл mysqldump не найден. Поместите его в папку с "
                                                              "программой или в один из каталогов PATH.")});
    EXPECT_TRUE(tasks_.isEmpty());
    EXPECT_FALSE(work_.exists(Backup::folderName()));
}

TEST_F(BackupTest, FailedOrEmptyDumpIsAFailedBackup) {
    struct {
        const char* name;
        QString body;
        QString message;
    } cases[] = {
        {"exit code", QStringLiteral("echo partial; echo 'Access denied' >&2; exit 2"),
         QStringLiteral("Ошибка! Резервная копия базы не создана: программа mysqldump завершилась с ошибкой (код 2).\n"
                        "Access denied")},
        {"empty", QStringLiteral(":"),
         QStringLiteral("Ошибка! Резервная копия базы не создана: программа mysqldump не выдала данных.")},
    };
    fakeArchiver();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs_.clear();
        fakeDumper(c.body);
        EXPECT_EQ(backup().Button10Click(), Backup::Failed);
        EXPECT_EQ(dialogs_.messages(), QStringList{c.message});
        EXPECT_EQ(folder(), QStringList());
        EXPECT_FALSE(work_.exists(kBase + QStringLiteral(".sql")));
    }
}

TEST(BackupName, DateWithSlashesStillMakesAFileName) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString name = Backup::baseName(QDate(2010, 3, 5));
    QLocale::setDefault(saved);
    EXPECT_FALSE(name.contains(QLatin1Char('/'))) << name.toStdString();
    EXPECT_TRUE(name.startsWith(QStringLiteral("kavrin_mysql_backup_3-5-"))) << name.toStdString();
}

class RealDumpTest : public DatabaseTest {};

TEST_F(RealDumpTest, RealMysqldumpDumpsTheTestDatabase) {
    const QString real = QStandardPaths::findExecutable(QStringLiteral("mysqldump"));
    if (real.isEmpty()) GTEST_SKIP() << "mysqldump is not installed";
    exec(QStringLiteral("insert into street (Name_Street) values ('Пушкинская')"));
    QTemporaryDir dir;
    QDir work(dir.path());
    ManualClock clock(QDateTime(QDate(2010, 3, 5), QTime(12, 0)));
    Clock::install(&clock);
    ScriptedDialogs dialogs;
    const DbParams p = testDbParams();
    const Backup::Outcome outcome =
        Backup(DumpLogin{p.user, p.host, p.password, p.port}, work).Button10Click();
    Clock::install(nullptr);
    // The archiver may be missing on this machine; the dump is the backup either way.
    ASSERT_NE(outcome, Backup::Failed) << dialogs.messages().join('\n').toStdString();
    QFile dump(work.filePath(QStringLiteral("db_backUP/") + kBase + QStringLiteral(".sql")));
    if (outcome == Backup::Unpacked) {
        ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(dump.readAll());
        EXPECT_TRUE(text.contains(QStringLiteral("CREATE TABLE `abons`")));
        EXPECT_TRUE(text.contains(QStringLiteral("Пушкинская")));
    }
}

}  // namespace
}  // namespace kavrin::test
