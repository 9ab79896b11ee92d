#include "Sender.h"

#include <QProcess>
#include <QString>
#include <cstdio>

namespace ostrel {

bool RunSender(const std::filesystem::path& folder) {
    const std::filesystem::path program = folder / kSenderProgram;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(program, ec)) return false;
    QProcess sender;
    sender.setProgram(QString::fromStdString(program.string()));
    sender.setArguments({QString::fromLatin1(kSenderArgument)});
    sender.setWorkingDirectory(QString::fromStdString(folder.string()));
    sender.setStandardInputFile(QProcess::nullDevice());
    sender.setStandardOutputFile(QProcess::nullDevice());
    sender.setStandardErrorFile(QProcess::nullDevice());
    sender.start();
    if (!sender.waitForStarted(-1)) {
        std::fprintf(stderr, "Ostrel: %s not started: %s\n", program.c_str(),
                     sender.errorString().toLocal8Bit().constData());
        return false;
    }
    sender.waitForFinished(-1);
    return true;
}

}  // namespace ostrel
