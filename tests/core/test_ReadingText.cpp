// The shared words for a line that is not plainly up: the values of the last reading that read
// it, and the state line that puts them after the router's state while it is not read.
#include "core/ReadingText.h"

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QDateTime kRead(QDate(2026, 12, 8), QTime(10, 30, 35));

LineReading reading(LineReading::State state, double marginDown = 0, double rateDown = 0) {
    LineReading r;
    r.time = kRead;
    r.state = state;
    r.why = state == LineReading::State::NotRead ? LineReading::Why::NotReachable
                                                 : LineReading::Why::None;
    r.sample.NoiseMarginDown = marginDown;
    r.sample.DataRateDown = rateDown;
    r.sample.HasNoiseMargin = r.sample.HasDataRate = true;
    return r;
}

TEST(ReadingText, ValuesAreTheDownstreamMarginAndRate) {
    using S = LineReading::State;
    const std::tuple<LineReading, const char*> cases[] = {
        {reading(S::Synced, 6.2, 15623), "6.2 dB, 15,623 Kbps"},
        {reading(S::Synced, 6.25, 999.6), "6.3 dB, 1,000 Kbps"},
        {reading(S::Synced, 12, 79999), "12 dB, 79,999 Kbps"},
        {reading(S::Synced, -1.5, 1234567), "-1.5 dB, 1,234,567 Kbps"},
        {reading(S::NoSync, 0, 0), "no sync"},
    };
    for (const auto& [r, text] : cases)
        EXPECT_EQ(ReadingText::values(r), QString::fromUtf8(text)) << text;
}

TEST(ReadingText, TheStateLineAddsTheLastReadOnlyWhileNotRead) {
    using S = LineReading::State;
    const std::optional<LineReading> synced = reading(S::Synced, 6.2, 15623);
    const std::optional<LineReading> noSync = reading(S::NoSync);
    const std::optional<LineReading> notRead = reading(S::NotRead);
    struct Case {
        QString router;
        std::optional<LineReading> last, lastRead;
        const char* line;
    };
    const Case cases[] = {
        {"Reading the line", synced, synced, "Reading the line"},
        {"No sync since 10:30:35", noSync, noSync, "No sync since 10:30:35"},
        {"Not reachable since 10:31:05", notRead, synced,
         "Not reachable since 10:31:05; last reading 10:30:35: 6.2 dB, 15,623 Kbps"},
        {"Not reachable since 10:31:05", notRead, noSync,
         "Not reachable since 10:31:05; last reading 10:30:35: no sync"},
        {"Not reachable since 10:31:05", notRead, std::nullopt, "Not reachable since 10:31:05"},
        {"Paused", notRead, synced, "Paused; last reading 10:30:35: 6.2 dB, 15,623 Kbps"},
        // Before anyone said the router's state, the reason the reading gives.
        {"", notRead, synced, "Router not reachable; last reading 10:30:35: 6.2 dB, 15,623 Kbps"},
        {"Connecting", std::nullopt, std::nullopt, "Connecting"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadingText::stateLine(c.router, c.last, c.lastRead), QString::fromUtf8(c.line))
            << c.line;
}

} // namespace
