// Splitting and converting import lines: the rules every import shares.
#include "io/ImportLine.h"
#include "io/ImportText.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

QStringList takeAll(const QString& line, int fields) {
    ImportLine l(line);
    QStringList out;
    for (int i = 1; i < fields; ++i) out << l.take();
    out << l.rest();
    return out;
}

TEST(ImportLine, FieldsAreTakenFromTheFrontAndTheLastIsTheRest) {
    EXPECT_EQ(takeAll(QStringLiteral("17;Иванов;;5"), 4),
              (QStringList{"17", "Иванов", "", "5"}));
    // One field short: the missing separator makes an empty field and eats a character of the rest.
    EXPECT_EQ(takeAll(QStringLiteral("17;abc"), 3), (QStringList{"17", "", "bc"}));
    // One field too many: the last field keeps the separator and so fails its conversion.
    EXPECT_EQ(takeAll(QStringLiteral("1;2;3;"), 3).last(), QStringLiteral("3;"));
}

TEST(ImportLine, MalformedLines) {
    EXPECT_TRUE(ImportLine::malformed(QStringLiteral("17")));
    EXPECT_TRUE(ImportLine::malformed(QStringLiteral(";17;5")));
    EXPECT_TRUE(ImportLine::malformed(QString()));
    EXPECT_FALSE(ImportLine::malformed(QStringLiteral("17;")));
}

TEST(ImportText, MoneyIsRoundedHalfToEvenOnTheDigits) {
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const struct {
        const char* text;
        std::optional<int> kopecks;
    } cases[] = {
        {"0,125", 12}, {"0,375", 38}, {"0,135", 14}, {"0,1251", 13}, {"-0,125", -12}, {"-0,375", -38},
        {"12,5", 1250}, {"12", 1200}, {"-7,05", -705}, {",5", 50}, {"0,145", 14}, {"1,005", 100},
        {"21474836,47", 2147483647}, {"21474836,48", std::nullopt}, {"12.5", std::nullopt},
        {"", std::nullopt}, {"abc", std::nullopt}, {"1,2,3", std::nullopt}, {"-", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseMoneyKopecks(QString::fromUtf8(c.text), ru), c.kopecks) << c.text;
}

TEST(ImportText, IntegersAndDates) {
    EXPECT_EQ(parseInt32(QStringLiteral("17")), 17);
    EXPECT_EQ(parseInt32(QStringLiteral("-3")), -3);
    EXPECT_EQ(parseInt32(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(parseInt32(QStringLiteral("2147483648")), std::nullopt);
    EXPECT_EQ(parseInt32(QStringLiteral("1.5")), std::nullopt);
    EXPECT_EQ(parseInt32(QStringLiteral("")), std::nullopt);
    EXPECT_EQ(parseInt32(QStringLiteral("0x10")), std::nullopt);

    const QLocale ru(QLocale::Russian, QLocale::Russia);
    EXPECT_EQ(parseShortDate(QStringLiteral("01.02.2013"), ru), QDate(2013, 2, 1));
    EXPECT_EQ(parseShortDate(QStringLiteral("1.2.2013"), ru), QDate(2013, 2, 1));
    EXPECT_EQ(parseShortDate(QStringLiteral("31.02.2013"), ru), std::nullopt);
    EXPECT_EQ(parseShortDate(QStringLiteral("2013-02-01"), ru), std::nullopt);
    EXPECT_EQ(parseShortDate(QString(), ru), std::nullopt);
}

TEST(ImportText, Utf8WhenValidElseWindows1251) {
    const QString line = QStringLiteral("17;Иванов;Пётр;ул. Садовая");
    EXPECT_EQ(decodeImportText(line.toUtf8()), line);
    EXPECT_EQ(decodeImportText(QByteArray("\xEF\xBB\xBF") + line.toUtf8()), line);
    // The same text in Windows-1251: Ё/ё and the letters of both halves of the alphabet.
    const QByteArray cp1251("17;\xC8\xE2\xE0\xED\xEE\xE2;\xCF\xB8\xF2\xF0;\xF3\xEB. \xD1\xE0\xE4\xEE\xE2\xE0\xFF");
    EXPECT_EQ(decodeImportText(cp1251), line);
}

TEST(ImportText, LinesEndWithEitherBreakAndTheLastBreakAddsNoLine) {
    EXPECT_EQ(importLines(QStringLiteral("a;1\r\nb;2\r\n")), (QStringList{"a;1", "b;2"}));
    EXPECT_EQ(importLines(QStringLiteral("a;1\nb;2")), (QStringList{"a;1", "b;2"}));
    EXPECT_EQ(importLines(QStringLiteral("a;1\n\nb;2\n")), (QStringList{"a;1", "", "b;2"}));
    EXPECT_TRUE(importLines(QString()).isEmpty());
}

}  // namespace
}  // namespace kavrin
