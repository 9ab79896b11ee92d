#include "io/ExportFiles.h"

#include "common/Clock.h"
#include "common/Dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace kavrin {

QString exportFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Kavrin"));
}

QString exportFilePath(const QString& what, const QDateTime& at) {
    QString name = what;
    for (QChar c : QStringLiteral("/\\:*?\"<>|")) name.replace(c, u'_');
    name = name.trimmed();
    if (name.isEmpty()) name = QStringLiteral("Экспорт");
    return QDir(exportFolder()).filePath(name + u' ' + at.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
                                         QStringLiteral(".xlsx"));
}

std::function<bool(const QString&)>& exportFileOpener() {
    static std::function<bool(const QString&)> opener = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return opener;
}

QString exportAndOpen(const ExportLayout& layout, const QString& what) {
    const QString path = exportFilePath(what, Clock::current().now());
    writeWorkbook(layout, path);
    if (!exportFileOpener()(path))
        showMessage(QStringLiteral("Файл сохранён, но открыть его не удалось: ") + QDir::toNativeSeparators(path));
    return path;
}

}  // namespace kavrin
