#include "io/ImportText.h"

#include <QFile>
#include <QStringDecoder>
#include <array>

namespace kavrin {

namespace {

// Windows-1251, bytes 0x80..0xFF (the lower half is ASCII). Kept here so that reading old files does not
// depend on which converters the Qt build carries.
constexpr std::array<char16_t, 128> kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

QString fromCp1251(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(b < 0x80 ? QChar(b) : QChar(kCp1251[b - 0x80]));
    }
    return out;
}

}  // namespace

QString decodeImportText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) return fromCp1251(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

QStringList importLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return lines;
}

std::optional<QStringList> readImportFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return importLines(decodeImportText(file.readAll()));
}

std::optional<int> parseInt32(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = (t[0] == u'-' || t[0] == u'+') ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k)
        if (t[k] < u'0' || t[k] > u'9') return std::nullopt;
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

namespace {

struct Decimal {
    bool negative = false;
    QString whole;     // digits before the separator
    QString fraction;  // digits after it
};

std::optional<Decimal> splitDecimal(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    const QString separator = locale.decimalPoint();
    Decimal d;
    qsizetype i = 0;
    if (!t.isEmpty() && (t[0] == u'-' || t[0] == u'+')) {
        d.negative = t[0] == u'-';
        i = 1;
    }
    const qsizetype sep = t.indexOf(separator, i);
    d.whole = sep < 0 ? t.mid(i) : t.mid(i, sep - i);
    d.fraction = sep < 0 ? QString() : t.mid(sep + separator.size());
    auto digitsOnly = [](const QString& s) {
        for (QChar c : s)
            if (c < u'0' || c > u'9') return false;
        return true;
    };
    if (d.whole.isEmpty() && d.fraction.isEmpty()) return std::nullopt;
    if (sep >= 0 && d.fraction.isEmpty() && d.whole.isEmpty()) return std::nullopt;
    if (!digitsOnly(d.whole) || !digitsOnly(d.fraction)) return std::nullopt;
    return d;
}

}  // namespace

bool isDecimalNumber(const QString& text, const QLocale& locale) { return splitDecimal(text, locale).has_value(); }

std::optional<int> parseMoneyKopecks(const QString& text, const QLocale& locale) {
    const auto d = splitDecimal(text, locale);
    if (!d) return std::nullopt;
    const QString whole = d->whole.isEmpty() ? QStringLiteral("0") : d->whole;
    if (whole.size() > 12) return std::nullopt;
    const QString cents = (d->fraction + QStringLiteral("00")).left(2);
    const QString beyond = d->fraction.mid(2);  // digits below a kopeck decide the rounding
    long long kopecks = whole.toLongLong() * 100 + cents.toLongLong();
    if (!beyond.isEmpty()) {
        const QChar first = beyond[0];
        const bool restZero = beyond.mid(1).count(u'0') == beyond.size() - 1;
        if (first > u'5' || (first == u'5' && !restZero) || (first == u'5' && restZero && kopecks % 2 == 1))
            ++kopecks;
    }
    if (d->negative) kopecks = -kopecks;
    if (kopecks < INT32_MIN || kopecks > INT32_MAX) return std::nullopt;
    return static_cast<int>(kopecks);
}

std::optional<QDate> parseShortDate(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(t, format);
    if (!date.isValid()) {
        QString relaxed = format;
        relaxed.replace(QStringLiteral("dd"), QStringLiteral("d")).replace(QStringLiteral("MM"), QStringLiteral("M"));
        date = locale.toDate(t, relaxed);
    }
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

}  // namespace kavrin
