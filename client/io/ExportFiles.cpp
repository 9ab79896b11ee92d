#include "io/ExportFiles.h"

#include <QDir>
#include <QStandardPaths>

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

}  // namespace kavrin
