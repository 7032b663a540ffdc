#include "monitor/StatsPageReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <tuple>

// Readable failure messages for texts.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);

// The fixtures folder: from the environment when the test runner sets it, else beside this file.
QString fixturesDir() {
    const QString fromEnvironment = qEnvironmentVariable("LINTROVE_FIXTURES");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QFileInfo(QString::fromUtf8(__FILE__))
        .absoluteDir()
        .filePath(QStringLiteral("../fixtures"));
}

QString readPage(const char* name) {
    QFile file(fixturesDir() + QStringLiteral("/pages/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return QString::fromUtf8(file.readAll());
}

// What the page driver hands over: the previous page's sample after its reset, so every text
// and flag still holds the previous page's value.
LineSample previousSample() {
    LineSample s;
    s.NoiseMarginUpText = s.NoiseMarginDownText = QStringLiteral("old");
    s.DataRateDownRawText = s.User1UpText = s.User1DownText = QStringLiteral("old");
    s.User2UpText = s.User2DownText = s.UptimeDisplay = QStringLiteral("old");
    s.UptimeText = QStringLiteral(" 4242");
    s.HasNoiseMargin = s.HasDataRate = s.HasUser1 = s.HasUser2 = true;
    s.NoiseMarginUp = s.DataRateDown = s.User1Up = s.User2Down = 99;
    s.DataRateUpText = s.DataRateDownText = QStringLiteral("99");
    s.reset();
    return s;
}

void expectSample(const LineSample& a, const LineSample& e) {
    EXPECT_DOUBLE_EQ(a.NoiseMarginUp, e.NoiseMarginUp);
    EXPECT_DOUBLE_EQ(a.NoiseMarginDown, e.NoiseMarginDown);
    EXPECT_EQ(a.NoiseMarginUpText, e.NoiseMarginUpText);
    EXPECT_EQ(a.NoiseMarginDownText, e.NoiseMarginDownText);
    EXPECT_EQ(a.HasNoiseMargin, e.HasNoiseMargin);
    EXPECT_DOUBLE_EQ(a.DataRateUp, e.DataRateUp);
    EXPECT_DOUBLE_EQ(a.DataRateDown, e.DataRateDown);
    EXPECT_EQ(a.DataRateUpText, e.DataRateUpText);
    EXPECT_EQ(a.DataRateDownText, e.DataRateDownText);
    EXPECT_EQ(a.DataRateDownRawText, e.DataRateDownRawText);
    EXPECT_EQ(a.HasDataRate, e.HasDataRate);
    EXPECT_DOUBLE_EQ(a.User1Up, e.User1Up);
    EXPECT_DOUBLE_EQ(a.User1Down, e.User1Down);
    EXPECT_EQ(a.User1UpText, e.User1UpText);
    EXPECT_EQ(a.User1DownText, e.User1DownText);
    EXPECT_EQ(a.HasUser1, e.HasUser1);
    EXPECT_DOUBLE_EQ(a.User2Up, e.User2Up);
    EXPECT_DOUBLE_EQ(a.User2Down, e.User2Down);
    EXPECT_EQ(a.User2UpText, e.User2UpText);
    EXPECT_EQ(a.User2DownText, e.User2DownText);
    EXPECT_EQ(a.HasUser2, e.HasUser2);
    EXPECT_EQ(a.UptimeDisplay, e.UptimeDisplay);
    EXPECT_EQ(a.UptimeText, e.UptimeText);
}

void expectToolbar(const ToolbarTexts& a, const ToolbarTexts& e) {
    EXPECT_EQ(a.uptime, e.uptime);
    EXPECT_EQ(a.noiseMarginUp, e.noiseMarginUp);
    EXPECT_EQ(a.noiseMarginDown, e.noiseMarginDown);
    EXPECT_EQ(a.rateUp, e.rateUp);
    EXPECT_EQ(a.rateDown, e.rateDown);
}

struct PageCase {
    const char* page;
    int user1, user2;
    bool logDays;
    LineSample sample;
    ToolbarTexts toolbar;
};

TEST(StatsPageReader, ReadsWholePages) {
    const PageCase cases[] = {
        {"helpdesk-adsl.html",
         0,
         1,
         false,
         {6.2,
          6.1,
          "6.2",
          "6.1",
          true, //
          1097,
          15623,
          "1097",
          "15623",
          "15623",
          true, //
          1229,
          17456,
          "1229",
          "17456",
          true, //
          20.5,
          35.0,
          "20.5",
          "35.0",
          true, //
          "1 day, 01:01:02",
          " 90061"},
         {"1 day, 01:01:02", "6.2 dB", "6.1 dB", "1,097 Kbps", "15,623 Kbps"}},
        // Any index past the second reads signal attenuation; LogDays logs the display form.
        {"helpdesk-adsl.html",
         2,
         5,
         true,
         {6.2,
          6.1,
          "6.2",
          "6.1",
          true, //
          1097,
          15623,
          "1097",
          "15623",
          "15623",
          true, //
          19.8,
          34.6,
          "19.8",
          "34.6",
          true, //
          19.8,
          34.6,
          "19.8",
          "34.6",
          true, //
          "1 day, 01:01:02",
          "1:01:01:02"},
         {"1 day, 01:01:02", "6.2 dB", "6.1 dB", "1,097 Kbps", "15,623 Kbps"}},
        // Mbps scales both rates, and the downstream rate is shown as its whole Kbps figure.
        // A noise margin that wrapped past 2^31 is brought back, in its text too; "12.5," is
        // shown but reads 0.
        {"helpdesk-vdsl-mbps.html",
         0,
         1,
         false,
         {2,
          6.1,
          "2",
          "6.1",
          true, //
          1200,
          15600,
          "1200",
          "15600",
          "15600",
          true, //
          1.5,
          16.8,
          "1.5",
          "16.8",
          true, //
          0,
          20.4,
          "12.5,",
          "20.4",
          true, //
          "0 days, 00:01:00",
          " 59"},
         {"0 days, 00:01:00", "2 dB", "6.1 dB", "1,200 Kbps", "15,600 Kbps"}},
        // "gnal attenuation" also finds a label with a small s.
        {"helpdesk-vdsl-mbps.html",
         2,
         2,
         false,
         {2,
          6.1,
          "2",
          "6.1",
          true, //
          1200,
          15600,
          "1200",
          "15600",
          "15600",
          true, //
          -3.1,
          18.9,
          "-3.1",
          "18.9",
          true, //
          -3.1,
          18.9,
          "-3.1",
          "18.9",
          true, //
          "0 days, 00:01:00",
          " 59"},
         {"0 days, 00:01:00", "2 dB", "6.1 dB", "1,200 Kbps", "15,600 Kbps"}},
        // None of the labels: zeros and blanks, except the downstream rate, which always reads
        // "0", and the logged uptime, which keeps the previous page's value.
        {"login.html",
         0,
         1,
         true,
         {0,  0,      "", "",  false,        //
          0,  0,      "", "0", "0",   false, //
          0,  0,      "", "",  false,        //
          0,  0,      "", "",  false,        //
          "", " 4242"},
         {"", "", "", "", "0 Kbps"}},
        {"helpdesk-full.html",
         1,
         0,
         false,
         {6.4,
          5.9,
          "6.4",
          "5.9",
          true, //
          7650,
          79999,
          "7650",
          "79999",
          "79999",
          true, //
          8.3,
          17.1,
          "8.3",
          "17.1",
          true, //
          8123,
          84512,
          "8123",
          "84512",
          true, //
          "14 days, 06:56:08",
          " 1234567"},
         {"14 days, 06:56:08", "6.4 dB", "5.9 dB", "7,650 Kbps", "79,999 Kbps"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " users " << c.user1 << "/" << c.user2);
        LineSample sample = previousSample();
        const ToolbarTexts toolbar = StatsPageReader::BTHomeHub5A(
            readPage(c.page), c.user1, c.user2, c.logDays, sample, kEnglish);
        expectSample(sample, c.sample);
        expectToolbar(toolbar, c.toolbar);
    }
}

TEST(StatsPageReader, UserGraphLabels) {
    const struct {
        int index;
        const char* label;
    } cases[] = {{0, "Maximum data rate:"},
                 {1, "Line attenuation"},
                 {2, "gnal attenuation"},
                 {3, "gnal attenuation"},
                 {-1, "gnal attenuation"}};
    for (const auto& c : cases)
        EXPECT_EQ(StatsPageReader::userGraphLabel(c.index), QString::fromLatin1(c.label))
            << c.index;
}

struct Read {
    LineSample sample;
    ToolbarTexts toolbar;
};

Read readMarkup(const QString& markup, int user1 = 0, int user2 = 1, bool logDays = false) {
    Read r{previousSample(), {}};
    r.toolbar = StatsPageReader::BTHomeHub5A(markup, user1, user2, logDays, r.sample, kEnglish);
    return r;
}

QString blanks(int n) {
    return QString(n, u' ');
}

// The value cell is found by two ">" hops from 8 characters into the label, within 200 characters;
// the second hop's text is cut to 20 characters.
TEST(StatsPageReader, NoiseMarginWindows) {
    const auto gapBeforeCell = [](int gap) {
        return "<tr><td> Noise margin:</td" + blanks(gap) + "><td>6.2 / 6.1</td></tr>";
    };
    const auto longCellTag = [](int pad) {
        return "<tr><td> Noise margin:</td><td class=\"" + blanks(pad) + "\">6.2 / 6.1</td></tr>";
    };
    const auto valueCell = [](const QString& value) {
        return "<tr><td> Noise margin:</td><td>" + value + "</td></tr><tr><td>9</td></tr>";
    };
    const struct {
        QString markup;
        const char* up;
        const char* down;
        double upValue, downValue;
    } cases[] = {
        {valueCell("6.2 / 6.1"), "6.2", "6.1", 6.2, 6.1},
        // The 200-character window ends 207 characters after the label's blank: the closing tag
        // of the value must still be inside it.
        {gapBeforeCell(174), "6.2", "6.1", 6.2, 6.1},
        {gapBeforeCell(175), "6.2", "0", 6.2, 0},
        // The first hop keeps 100 characters.
        {longCellTag(76), "6.2", "6.1", 6.2, 6.1},
        {longCellTag(77), "6.2", "0", 6.2, 0},
        {longCellTag(87), "0", "0", 0, 0},
        // The cell text is cut to 20 characters: "</" must start by its 19th.
        {valueCell("6.2 / " + blanks(9) + "6.1"), "6.2", "6.1", 6.2, 6.1},
        {valueCell("6.2 / " + blanks(10) + "6.1"), "6.2", "0", 6.2, 0},
        // The upstream number must start within the first 10 characters.
        {valueCell(blanks(9) + "6 / 5"), "6", "5", 6, 5},
        {valueCell(blanks(10) + "6 / 5"), "0", "5", 0, 5},
        // A wrapped value is shown as it is plotted, with the decimals it was written with.
        {valueCell("5 / 2147483650"), "5", "2", 5, 2},
        {valueCell("2140000001 / 1"), "-7483647", "1", -7483647, 1},
        {valueCell("1 / 2147483650.50"), "1", "2.50", 1, 2.5},
        {valueCell("2147483648 / 6.1"), "0", "6.1", 0, 6.1},
        {valueCell("2140000000 / 1"), "2140000000", "1", 2140000000, 1},
        {valueCell("-/-"), "-", "-", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.markup.toStdString());
        const Read r = readMarkup(c.markup);
        EXPECT_TRUE(r.sample.HasNoiseMargin);
        EXPECT_EQ(r.sample.NoiseMarginUpText, QString::fromLatin1(c.up));
        EXPECT_EQ(r.sample.NoiseMarginDownText, QString::fromLatin1(c.down));
        EXPECT_DOUBLE_EQ(r.sample.NoiseMarginUp, c.upValue);
        EXPECT_DOUBLE_EQ(r.sample.NoiseMarginDown, c.downValue);
        EXPECT_EQ(r.toolbar.noiseMarginUp, QString::fromLatin1(c.up) + " dB");
        EXPECT_EQ(r.toolbar.noiseMarginDown, QString::fromLatin1(c.down) + " dB");
    }
}

TEST(StatsPageReader, DataRateWindows) {
    const auto row = [](const QString& value, const QString& after = QString()) {
        return "<tr><td>Data rate:</td><td>" + value + "</td></tr>" + after;
    };
    const struct {
        QString markup;
        double up;
        const char* upText;
        const char* downRaw;
        double down;
        const char* downText;
        const char* toolbarUp;
        const char* toolbarDown;
    } cases[] = {
        {row("1097 / 15623"), 1097, "1097", "15623", 15623, "15623", "1,097 Kbps", "15,623 Kbps"},
        // A downstream text in Mbps is scanned and scaled like the upstream one, and shown as
        // its whole Kbps figure.
        {row("1.2 / 15.6 Mbps"), 1200, "1200", "15600", 15600, "15600", "1,200 Kbps",
         "15,600 Kbps"},
        {row("1.25 / 79.9375Mbps"), 1250, "1250", "79937", 79937.5, "79937", "1,250 Kbps",
         "79,937 Kbps"},
        {row("1.2 / Mbps"), 1200, "1200", "0", 0, "0", "1,200 Kbps", "0 Kbps"},
        // Scaled by moving the decimal point: 32.3 * 1000 in doubles is 32299.999...
        {row("32.3 / 64.1 Mbps"), 32300, "32300", "64100", 64100, "64100", "32,300 Kbps",
         "64,100 Kbps"},
        {row("1097.9 / 15623.7"), 1097.9, "1097", "15623.7", 15623.7, "15623", "1,097 Kbps",
         "15,623.7 Kbps"},
        // "Mbps" counts anywhere in the 96 characters after the cell opens, even in the next row.
        {row("1.2 / 15.6" + blanks(81) + " Mbps"), 1200, "1200", "0", 0, "0", "1,200 Kbps",
         "0 Kbps"},
        {row("1.2 / 15.6" + blanks(82) + " Mbps"), 1.2, "1", "0", 0, "0", "1 Kbps", "0 Kbps"},
        {row("1097 / 15623", "<tr><td>Maximum data rate:</td><td>1.5 / 16.8 Mbps</td></tr>"),
         1097000, "1097000", "15623", 15623, "15623", "1,097,000 Kbps", "15,623 Kbps"},
        {row(blanks(10) + "1097 / 15623"), 0, "0", "15623", 15623, "15623", "0 Kbps",
         "15,623 Kbps"},
        {row("n/a"), 0, "0", "a", 0, "0", "0 Kbps", "a Kbps"},
        // The downstream text is not cut to 10 characters, but a value wider than any field of
        // the router's is no value: shown as read, plotted and counted as unreadable.
        {row("1097 / 4294967296"), 1097, "1097", "4294967296", 4294967296.0, "4294967296",
         "1,097 Kbps", "4,294,967,296 Kbps"},
        {row("1097 / 100000000000000000000"), 1097, "1097", "100000000000000000000", 0, "0",
         "1,097 Kbps", "100,000,000,000,000,000,000 Kbps"},
        {row("1097 / -30000000000000000000"), 1097, "1097", "-30000000000000000000", 0, "0",
         "1,097 Kbps", "-30,000,000,000,000,000,000 Kbps"},
        {row("1097 / 1e308"), 1097, "1097", "1e308", 0, "0", "1,097 Kbps", "1e,308 Kbps"},
        {row("1.2 / 5000000 Mbps"), 1200, "1200", "0", 0, "0", "1,200 Kbps", "0 Kbps"},
        {row("1097 / -0.5"), 1097, "1097", "-0.5", -0.5, "0", "1,097 Kbps", "-0.5 Kbps"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.markup.toStdString());
        const Read r = readMarkup(c.markup);
        EXPECT_TRUE(r.sample.HasDataRate);
        EXPECT_DOUBLE_EQ(r.sample.DataRateUp, c.up);
        EXPECT_EQ(r.sample.DataRateUpText, QString::fromLatin1(c.upText));
        EXPECT_EQ(r.sample.DataRateDownRawText, QString::fromLatin1(c.downRaw));
        EXPECT_DOUBLE_EQ(r.sample.DataRateDown, c.down);
        EXPECT_EQ(r.sample.DataRateDownText, QString::fromLatin1(c.downText));
        EXPECT_EQ(r.toolbar.rateUp, QString::fromLatin1(c.toolbarUp));
        EXPECT_EQ(r.toolbar.rateDown, QString::fromLatin1(c.toolbarDown));
    }
}

// The user rows' value is read after the first ">" from 35 characters into the label, 30
// characters long.
TEST(StatsPageReader, UserRowWindows) {
    const auto row = [](const char* label, const char* cellTag, const QString& value) {
        return QStringLiteral("<tr><td>") + QString::fromLatin1(label) + "</td>" +
               QString::fromLatin1(cellTag) + value + "</td></tr>\n<tr><td>Product name:</td></tr>";
    };
    const struct {
        QString markup;
        int index;
        const char* up;
        const char* down;
        double upValue, downValue;
    } cases[] = {
        {row("Maximum data rate:", "<td class=\"value\">", "1229 / 17456"), 0, "1229", "17456",
         1229, 17456},
        {row("Signal attenuation:", "<td class=\"value\">", "19.8 / 34.6"), 2, "19.8", "34.6", 19.8,
         34.6},
        {row("signal attenuation:", "<td class=\"value\">", "19.8 / 34.6"), 4, "19.8", "34.6", 19.8,
         34.6},
        // The cell tag's ">" 35 characters after the label start is read, one earlier is not.
        {row("Line attenuation:", "<td class=\"v\">", "20.5 / 35.0"), 1, "20.5", "35.0", 20.5, 35},
        {row("Line attenuation:", "<td class=\"\">", "20.5 / 35.0"), 1, "0", "0", 0, 0},
        // 30 characters after the ">".
        {row("Line attenuation:", "<td class=\"v\">", "20.5 /" + blanks(20) + "41.5"), 1, "20.5",
         "41.5", 20.5, 41.5},
        {row("Line attenuation:", "<td class=\"v\">", "20.5 /" + blanks(21) + "41.5"), 1, "20.5",
         "41.", 20.5, 41},
        {row("Line attenuation:", "<td class=\"v\">", blanks(10) + "20.5 / 35.0"), 1, "0", "35.0",
         0, 35},
        {row("Line attenuation:", "<td class=\"v\">", "- / -"), 1, "-", "-", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.markup.toStdString());
        const Read r = readMarkup(c.markup, c.index, c.index);
        for (const auto& [has, upText, downText, up, down] :
             {std::tie(r.sample.HasUser1, r.sample.User1UpText, r.sample.User1DownText,
                       r.sample.User1Up, r.sample.User1Down),
              std::tie(r.sample.HasUser2, r.sample.User2UpText, r.sample.User2DownText,
                       r.sample.User2Up, r.sample.User2Down)}) {
            EXPECT_TRUE(has);
            EXPECT_EQ(upText, QString::fromLatin1(c.up));
            EXPECT_EQ(downText, QString::fromLatin1(c.down));
            EXPECT_DOUBLE_EQ(up, c.upValue);
            EXPECT_DOUBLE_EQ(down, c.downValue);
        }
    }
}

TEST(StatsPageReader, Uptime) {
    // seconds: the uptime a reading carries, -1 when the page's text is no whole number (the
    // toolbar still shows a second for it).
    const struct {
        QString markup;
        bool logDays;
        QString logged;
        const char* display;
        qint64 seconds;
    } cases[] = {
        {"<script>var wait = 90061;</script>", false, " 90061", "1 day, 01:01:02", 90062},
        {"<script>var wait = 90061;</script>", true, "1:01:01:02", "1 day, 01:01:02", 90062},
        {"<script>var wait = 0;</script>", false, " 0", "0 days, 00:00:01", 1},
        {"<script>var wait = 86399;</script>", true, "1:00:00:00", "1 day, 00:00:00", 86400},
        {"<script>var wait = 3000000;</script>", false, " 3000000", "34 days, 17:20:01", 3000001},
        {"<script>var wait = 187199;</script>", true, "2:04:00:00", "2 days, 04:00:00", 187200},
        // 18 characters follow "wait =".
        {"wait =" + blanks(13) + "90061\n", false, blanks(13) + "90061", "1 day, 01:01:02", 90062},
        {"wait =" + blanks(14) + "90061\n", false, blanks(14) + "9006", "0 days, 02:30:07", 9007},
        {"var wait =90061;", false, "90061", "1 day, 01:01:02", 90062},
        // Not a whole number: counts as 0.
        {"var wait = 90061 ;", false, " 90061 ", "0 days, 00:00:01", -1},
        {"var wait = 12.5;", false, " 12.5", "0 days, 00:00:01", -1},
        {"var wait = \"x\";", true, "0:00:00:01", "0 days, 00:00:01", -1},
        {"var wait = ;", false, " ", "0 days, 00:00:01", -1},
        {"var wait = 99999999999;", false, " 99999999999", "0 days, 00:00:01", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.markup.toStdString());
        const Read r = readMarkup(c.markup, 0, 1, c.logDays);
        EXPECT_EQ(r.sample.UptimeText, c.logged);
        EXPECT_EQ(r.sample.UptimeDisplay, QString::fromLatin1(c.display));
        EXPECT_EQ(r.toolbar.uptime, QString::fromLatin1(c.display));
        EXPECT_EQ(StatsPageReader::uptimeSeconds(c.markup), c.seconds);
    }
    // No uptime on the page, or one before the router started.
    EXPECT_EQ(StatsPageReader::uptimeSeconds(QStringLiteral("<p>Wait = 90061;</p>")), -1);
    EXPECT_EQ(StatsPageReader::uptimeSeconds(QStringLiteral("var wait = -2;")), -1);
}

// Labels are matched exactly: the noise margin needs its leading blank, and case counts.
TEST(StatsPageReader, LabelsMustMatchExactly) {
    const Read r =
        readMarkup("<tr><td>Noise margin:</td><td>6.2 / 6.1</td></tr>"
                   "<tr><td>data rate:</td><td>1097 / 15623</td></tr>"
                   "<tr><td>Maximum Data Rate:</td><td class=\"value\">1229 / 17456</td></tr>"
                   "<tr><td> Line Attenuation:</td><td class=\"value\">20.5 / 35.0</td></tr>"
                   "<p>Wait = 90061;</p>");
    EXPECT_FALSE(r.sample.HasNoiseMargin);
    EXPECT_EQ(r.sample.NoiseMarginUpText, QString());
    EXPECT_EQ(r.toolbar.noiseMarginUp, QString());
    EXPECT_FALSE(r.sample.HasDataRate);
    EXPECT_EQ(r.sample.DataRateUpText, QString());
    EXPECT_EQ(r.toolbar.rateUp, QString());
    EXPECT_EQ(r.toolbar.rateDown, QStringLiteral("0 Kbps"));
    EXPECT_FALSE(r.sample.HasUser1);
    EXPECT_FALSE(r.sample.HasUser2);
    EXPECT_EQ(r.sample.User2UpText, QString());
    EXPECT_EQ(r.sample.UptimeText, QStringLiteral(" 4242"));
    EXPECT_EQ(r.toolbar.uptime, QString());
}

// Router numbers always use a decimal point; the desktop's separators only group the rates.
TEST(StatsPageReader, DecimalCommaLocaleKeepsTheValues) {
    struct DefaultLocale {
        QLocale saved;
        ~DefaultLocale() { QLocale::setDefault(saved); }
    } restore;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    LineSample sample = previousSample();
    const ToolbarTexts toolbar =
        StatsPageReader::BTHomeHub5A(readPage("helpdesk-adsl.html"), 0, 1, false, sample);
    EXPECT_DOUBLE_EQ(sample.NoiseMarginUp, 6.2);
    EXPECT_DOUBLE_EQ(sample.NoiseMarginDown, 6.1);
    EXPECT_DOUBLE_EQ(sample.User2Up, 20.5);
    EXPECT_DOUBLE_EQ(sample.DataRateUp, 1097);
    EXPECT_EQ(toolbar.noiseMarginUp, QStringLiteral("6.2 dB"));
    EXPECT_EQ(toolbar.rateUp, QStringLiteral("1.097 Kbps"));
    EXPECT_EQ(toolbar.rateDown, QStringLiteral("15.623 Kbps"));
}

} // namespace
