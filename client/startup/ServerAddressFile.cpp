#include "startup/ServerAddressFile.h"

#include "common/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace kavrin {
namespace {

// Longest first line worth reading: an address is short, and a damaged file must not be read whole.
constexpr qint64 kMaxLine = 1024;

// The file may have been written on Windows in its code page.
QString decodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        QStringDecoder cp1251("windows-1251");
        text = cp1251.isValid() ? cp1251(bytes) : QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text.trimmed();
}

bool createDefaultFile(const QString& path) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QString text = kLocalServer + QStringLiteral("\r\n\r\n") +
                         QStringLiteral("// В первой строке этого файла должен быть указан ip-адрес сервера MySQL. "
                                        "Если сервер стоит на локальной машине, то нужно указывать адрес "
                                        "\"127.0.0.1\"\r\n");
    f.write(text.toUtf8());
    return f.commit();
}

}  // namespace

ServerAddress readServerAddress(const QString& folder, const QString& designHost) {
    const QString path = QDir(folder).filePath(kServerAddressFileName);
    if (!QFileInfo::exists(path)) {
        if (createDefaultFile(path)) return {kLocalServer, false};
        Dialogs::current().message(kCannotCreateConfMessage, {}, Icon::Error);
        return {designHost, false};
    }
    QFile f(path);
    QByteArray line;
    if (f.open(QIODevice::ReadOnly)) line = f.readLine(kMaxLine);
    if (line.isEmpty()) {
        showMessage(kUnreadableConfMessage);
        return {kLocalServer, false};
    }
    const QString host = decodeLine(line);
    if (!host.contains(QLatin1Char('.'))) {
        showMessage(kWrongAddressMessage);
        return {host, true};
    }
    return {host, false};
}

}  // namespace kavrin
