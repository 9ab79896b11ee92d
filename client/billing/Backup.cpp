#include "billing/Backup.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "data/Sql.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kavrin {
namespace {

// A value in an option file, quoted so that any password survives.
QString optionValue(const QString& v) {
    QString escaped = v;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void fail(const QString& why) { showMessage(QStringLiteral("Ошибка! Резервная копия базы не создана: ") + why); }

}  // namespace

DumpLogin DumpLogin::fromConnection() {
    QSqlDatabase db = connection();
    return DumpLogin{db.userName(), db.hostName(), db.password(), db.port() > 0 ? db.port() : 3306};
}

Backup::Backup(DumpLogin login, QDir workDir) : login_(std::move(login)), workDir_(std::move(workDir)) {}

QString Backup::baseName(const QDate& day) {
    QString date = QLocale().toString(day, QLocale::ShortFormat);
    for (QChar& c : date)
        if (QStringLiteral("/\\:*?\"<>| ").contains(c)) c = QLatin1Char('-');
    return QStringLiteral("kavrin_mysql_backup_") + date;
}

QString Backup::findProgram(const QString& name) const {
    const QFileInfo local(workDir_.filePath(name));
    if (local.isFile() && local.isExecutable()) return local.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

Backup::Outcome Backup::Button10Click() {
    const QString dumper = findProgram(QStringLiteral("mysqldump"));
    if (dumper.isEmpty()) {
        showMessage(QStringLiteral("Файл mysqldump не найден. Поместите его в папку с программой или в один из "
                                   "каталогов PATH."));
        return DumperMissing;
    }
    if (showTask) showTask(QStringLiteral("Задача: BackUP"));
    const QString base = baseName(Clock::current().today());
    const QString dumpName = base + QStringLiteral(".sql");
    const QString archiveName = base + QStringLiteral(".rar");
    workDir_.mkpath(folderName());

    const bool dumped = dump(dumper, workDir_.filePath(dumpName));
    if (hideTask) hideTask();
    if (!dumped) return Failed;

    const QString archiver = findProgram(QStringLiteral("rar"));
    if (archiver.isEmpty()) {
        showMessage(QStringLiteral("Файл rar не найден. Поместите его в папку с программой или в один из каталогов PATH."));
        if (!moveInto(dumpName)) {
            fail(QStringLiteral("не удалось перенести файл %1 в папку %2.").arg(dumpName, folderName()));
            return Failed;
        }
        return Unpacked;
    }

    workDir_.remove(archiveName);  // a leftover would receive this dump beside an older one
    QProcess rar;
    rar.setWorkingDirectory(workDir_.absolutePath());
    rar.setProcessChannelMode(QProcess::ForwardedChannels);
    rar.start(archiver, {QStringLiteral("a"), archiveName, dumpName});
    rar.waitForFinished(-1);

    if (workDir_.exists(archiveName) && moveInto(archiveName)) {
        workDir_.remove(dumpName);
        return Archived;
    }
    // No archive: the dump itself is the backup, so it is kept.
    if (!moveInto(dumpName)) {
        fail(QStringLiteral("архив не создан, а файл %1 не удалось перенести в папку %2.").arg(dumpName, folderName()));
        return Failed;
    }
    showMessage(QStringLiteral("Внимание! Архиватор не создал архив. Резервная копия сохранена без упаковки: %1/%2")
                    .arg(folderName(), dumpName));
    return Unpacked;
}

bool Backup::dump(const QString& program, const QString& dumpPath) {
    QFile out(dumpPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(QStringLiteral("не удалось создать файл %1 (%2).").arg(QFileInfo(dumpPath).fileName(), out.errorString()));
        return false;
    }
    out.close();

    // The password goes in a private option file, never on a command line where any user could read it.
    QTemporaryFile options(QDir::temp().filePath(QStringLiteral("kavrin-dump-XXXXXX.cnf")));
    if (!options.open()) {
        fail(QStringLiteral("не удалось создать временный файл параметров (%1).").arg(options.errorString()));
        QFile::remove(dumpPath);
        return false;
    }
    options.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    options.write(QStringLiteral("[client]\npassword=%1\n").arg(optionValue(login_.password)).toUtf8());
    options.flush();

    QProcess process;
    process.setWorkingDirectory(workDir_.absolutePath());
    process.setStandardOutputFile(dumpPath, QIODevice::Truncate);
    process.start(program, {QStringLiteral("--defaults-extra-file=") + options.fileName(),
                            QStringLiteral("-u") + login_.user, QStringLiteral("-P%1").arg(login_.port),
                            QStringLiteral("-h") + login_.host, QStringLiteral("kavrin")});
    if (!process.waitForStarted(-1)) {
        fail(QStringLiteral("не удалось запустить %1 (%2).").arg(program, process.errorString()));
        QFile::remove(dumpPath);
        return false;
    }
    process.waitForFinished(-1);
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const QString detail = errors.isEmpty() ? QString() : QStringLiteral("\n") + errors.left(1000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        fail(QStringLiteral("программа mysqldump завершилась с ошибкой (код %1).").arg(process.exitCode()) + detail);
        QFile::remove(dumpPath);
        return false;
    }
    if (QFileInfo(dumpPath).size() == 0) {
        fail(QStringLiteral("программа mysqldump не выдала данных.") + detail);
        QFile::remove(dumpPath);
        return false;
    }
    return true;
}

bool Backup::moveInto(const QString& fileName) {
    const QString target = folderName() + QLatin1Char('/') + fileName;
    workDir_.remove(target);
    return workDir_.rename(fileName, target);
}

}  // namespace kavrin
