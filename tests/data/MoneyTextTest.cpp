#include "common/MoneyText.h"

#include <QLocale>
#include <gtest/gtest.h>

using kavrin::money_text;

TEST(MoneyText, ShortestFormWithTheLocalesSeparator) {
    struct Case {
        QVariant kopecks;
        const char* text;
    } cases[] = {
        {1250, "12,5"}, {100, "1"}, {-75, "-0,75"}, {0, "0"}, {5, "0,05"}, {-100, "-1"}, {123456789, "1234567,89"},
        {QVariant(), "0"}, {QString(""), "0"}, {QString("  "), "0"}, {QString("1250"), "12,5"},
        {qlonglong(-2147483647 - 1), "-21474836,48"}, {2147483647, "21474836,47"},
    };
    for (const Case& c : cases) EXPECT_EQ(money_text(c.kopecks), QString::fromUtf8(c.text)) << c.text;
}

TEST(MoneyText, FollowsTheSystemLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(money_text(123456), "1234.56");  // no thousands separator
    QLocale::setDefault(saved);
}
