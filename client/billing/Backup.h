#pragma once
// The database backup: `mysqldump` writes the whole `kavrin` database into an SQL file, `rar` packs it, and
// the archive is kept in the folder "db_backUP" of the working directory.
#include <QDate>
#include <QDir>
#include <QString>
#include <functional>

namespace kavrin {

struct DumpLogin {
    QString user;
    QString host;
    QString password;
    int port = 3306;
    static DumpLogin fromConnection();  // the client's open connection (3306 when it names no port)
};

class Backup {
public:
    enum Outcome {
        Archived,       // the archive of the day is in db_backUP
        Unpacked,       // the plain SQL file is in db_backUP (no archiver, or it made no archive)
        DumperMissing,  // nothing done
        Failed,         // no usable dump; a charging run that asked for the backup must not go on
    };

    explicit Backup(DumpLogin login, QDir workDir = QDir::current());

    // Shown while the dump runs (the main window's task label).
    std::function<void(const QString&)> showTask;
    std::function<void()> hideTask;

    // Button10Click. Tells the user about missing programs and failures itself.
    Outcome Button10Click();

    // "kavrin_mysql_backup_" + the date in the short date format, with what a file name cannot hold replaced.
    static QString baseName(const QDate& day);
    static QString folderName() { return QStringLiteral("db_backUP"); }

private:
    QString findProgram(const QString& name) const;
    bool dump(const QString& program, const QString& dumpPath);
    bool moveInto(const QString& fileName);

    DumpLogin login_;
    QDir workDir_;
};

}  // namespace kavrin
