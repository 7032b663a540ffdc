#include "monitor/NumberScan.h"

#include <gtest/gtest.h>

// Readable failure messages for texts.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

TEST(ExtractNumber, FirstNumberRunWithinTenCharacters) {
    const struct {
        const char* text;
        const char* number;
    } cases[] = {
        {"6.2 / 6.1", "6.2"},
        {"<td>1097</td>", "1097"},
        {"1,234x", "1,234"},
        {"-5 dB", "-5"},
        {"x.5", ".5"},
        {"ab-c", "-"},
        {"12345678901", "1234567890"}, // cut by the window
        {"         6.2", "6"},         // starts at the 10th character: only that one is seen
        {"          6.2", ""},         // starts at the 11th character: not seen
        {"dB", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractNumber(QString::fromLatin1(c.text)), QString::fromLatin1(c.number))
            << '"' << c.text << '"';
}

TEST(AddThouSep, GroupsTheWholePartWithTheLocaleSeparators) {
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        const QLocale& locale;
        const char* text;
        const char* grouped;
    } cases[] = {
        {english, "12345", "12,345"},
        {english, "1234567.5", "1,234,567.5"},
        {english, "123", "123"},
        {english, "1234", "1,234"},
        {english, "123456", "123,456"},
        {english, "0", "0"},
        {english, "", ""},
        {english, "15.6 Mbps", "15.6 Mbps"},
        {english, ".1234", ".1,234"}, // a leading decimal separator does not end the whole part
        {german, "1234567,5", "1.234.567,5"},
        {german, "15623", "15.623"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddThouSep(QString::fromLatin1(c.text), c.locale), QString::fromLatin1(c.grouped))
            << c.text << " in " << c.locale.name().toStdString();
}

} // namespace
