#pragma once
// Reading import files and converting their fields with the system's regional settings.
#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace kavrin {

// Files prepared on Windows come in its Cyrillic code page; newer ones in UTF-8. Valid UTF-8 (with or
// without a byte order mark) is read as such, anything else as Windows-1251.
QString decodeImportText(const QByteArray& bytes);

// The lines of a file as a line-by-line reader sees them: "\r\n" or "\n" end a line, and the line break
// after the last line does not make an empty line of its own.
QStringList importLines(const QString& text);

// Reads and decodes a whole file; nullopt when it cannot be read.
std::optional<QStringList> readImportFile(const QString& path);

// A whole number that fits a signed 32-bit integer (an optional sign, digits; spaces around are ignored).
std::optional<int> parseInt32(const QString& text);

// A decimal number of currency units (the locale's decimal separator) as kopecks, rounded to the nearest
// kopeck with halves going to the even neighbour: 0,125 gives 12, 0,375 gives 38. Worked out on the digits
// themselves, so no binary fraction can tip a half either way.
std::optional<int> parseMoneyKopecks(const QString& text, const QLocale& locale = QLocale());

// True when the text is a decimal number in the locale's format (sign, digits, decimal separator, digits).
bool isDecimalNumber(const QString& text, const QLocale& locale = QLocale());

// A date in the locale's short date format (for example 01.02.2013); single-digit day and month accepted.
std::optional<QDate> parseShortDate(const QString& text, const QLocale& locale = QLocale());

}  // namespace kavrin
