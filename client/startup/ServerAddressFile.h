#pragma once
// kavrin.conf in the working folder: its first line is the address of the MySQL server. A missing file is
// created with the local address and a note for the administrator.
#include <QString>

namespace kavrin {

struct ServerAddress {
    QString host;              // the host the connection will use
    bool closeWindow = false;  // the address was wrong: the attempt is still made, then the main window closes
};

// Reads kavrin.conf in `folder` (creating it when missing) and shows the message for a wrong address, an
// unreadable file or a file that cannot be created. `designHost` is kept when the file cannot be created.
ServerAddress readServerAddress(const QString& folder, const QString& designHost = QStringLiteral("127.0.0.1"));

inline const QString kServerAddressFileName = QStringLiteral("kavrin.conf");
inline const QString kLocalServer = QStringLiteral("127.0.0.1");
inline const QString kWrongAddressMessage = QStringLiteral("Неправильно указан ip адрес в файле kavrin.conf!");
inline const QString kUnreadableConfMessage = QStringLiteral(
    "Ошибка! Неправильна конфигурация! Файл kavrin.conf пустой! Удалите этот файл и снова запустите программу.");
inline const QString kCannotCreateConfMessage = QStringLiteral("Ошибка при создании файла \"kavrin.conf\".");

}  // namespace kavrin
