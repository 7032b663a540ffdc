#include "storage/CsvLog.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

const QDateTime kTime(QDate(2026, 12, 8), QTime(14, 23, 5));
const char kDefaultHeader[] = "Date/Time, Uptime, Up SNR (dB), Down SNR (dB), Up Sync (Kbps), Down "
                              "Sync (Kbps), Up Max Data Rate, Down Max Data Rate, Up Line "
                              "Attenuation, Down Line Attenuation";

LineSample fullSample() {
    LineSample s;
    s.UptimeText = QStringLiteral("1:00:00:00");
    s.NoiseMarginUpText = QStringLiteral("6.3");
    s.NoiseMarginDownText = QStringLiteral("6.1");
    s.HasNoiseMargin = true;
    s.DataRateUpText = QStringLiteral("1024");
    s.DataRateDownRawText = QStringLiteral("16000");
    s.HasDataRate = true;
    s.User1UpText = QStringLiteral("1100");
    s.User1DownText = QStringLiteral("17000");
    s.HasUser1 = true;
    s.User2UpText = QStringLiteral("12.5");
    s.User2DownText = QStringLiteral("23.0");
    s.HasUser2 = true;
    return s;
}

// A log of header pair and rows "row 2" ... "row <count-1>".
QByteArray logOf(int count) {
    QByteArray out = "Header\r\n------\r\n";
    for (int i = 2; i < count; ++i)
        out += "row " + QByteArray::number(i) + "\r\n";
    return out;
}

// One title per column, the uptime's included, whatever the user graphs show.
TEST(CsvLog, HeaderNamesEveryColumn) {
    const struct {
        const char *user1, *user2, *header;
    } cases[] = {
        {"Max Data Rate", "Line Attenuation", kDefaultHeader},
        {"Line Attenuation", "Signal Sttenuation",
         "Date/Time, Uptime, Up SNR (dB), Down SNR (dB), Up Sync (Kbps), Down Sync (Kbps), Up Line "
         "Attenuation, Down Line Attenuation, Up Signal Sttenuation, Down Signal Sttenuation"},
        {"Signal Attenuation", "Max Data Rate",
         "Date/Time, Uptime, Up SNR (dB), Down SNR (dB), Up Sync (Kbps), Down Sync (Kbps), Up "
         "Signal Attenuation, Down Signal Attenuation, Up Max Data Rate, Down Max Data Rate"},
    };
    for (const auto& c : cases) {
        const QString header =
            LogHeader(QString::fromLatin1(c.user1), QString::fromLatin1(c.user2));
        EXPECT_EQ(header, QString::fromLatin1(c.header));
        EXPECT_EQ(header.split(QStringLiteral(", ")).size(),
                  LogLine(kTime, fullSample(), QStringLiteral("ddd dd mmm yyyy  hh:mm:ss"), 0)
                      .split(QLatin1Char(','))
                      .size())
            << "a title for every column of a row: " << c.user1 << ", " << c.user2;
    }
    EXPECT_EQ(CsvLog().Header, QString::fromLatin1(kDefaultHeader));
}

TEST(CsvLog, RowTexts) {
    LineSample secondsUptime = fullSample();
    secondsUptime.UptimeText = QStringLiteral("86399");
    LineSample longRate = fullSample();
    longRate.DataRateDownRawText = QStringLiteral("123456789");
    // A page with none of the labels: the reader leaves "0" as the downstream rate.
    LineSample bare;
    bare.UptimeText = QStringLiteral("5");
    bare.DataRateDownRawText = QStringLiteral("0");
    // A page without the statistics after a healthy one: zeros in every column, the uptime kept.
    LineSample outage = fullSample();
    outage.setZeroSample();

    const struct {
        LineSample sample;
        int tab;
        const char* row;
    } cases[] = {
        {fullSample(), 8,
         "Tue 08 Dec 2026  14:23:05, 1:00:00:00,     6.3,     6.1,    1024,   16000,    1100,   "
         "17000,    12.5,    23.0"},
        {fullSample(), 0,
         "Tue 08 Dec 2026  14:23:05, 1:00:00:00,6.3,6.1,1024,16000,1100,17000,12.5,23.0"},
        {secondsUptime, 0,
         "Tue 08 Dec 2026  14:23:05, 86399,6.3,6.1,1024,16000,1100,17000,12.5,23.0"},
        {longRate, 4,
         "Tue 08 Dec 2026  14:23:05, 1:00:00:00, 6.3, 6.1,1024,123456789,1100,17000,12.5,23.0"},
        {bare, 3, "Tue 08 Dec 2026  14:23:05, 5,   ,   ,   ,  0,   ,   ,   ,   "},
        {outage, 3, "Tue 08 Dec 2026  14:23:05, 1:00:00:00,  0,  0,  0,  0,  0,  0,  0,  0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogLine(kTime, c.sample, QStringLiteral("ddd dd mmm yyyy  hh:mm:ss"), c.tab),
                  QString::fromLatin1(c.row));
    EXPECT_EQ(LogLine(kTime, bare, QStringLiteral("yyyy-mm-dd hh:nn"), 0),
              QStringLiteral("2026-12-08 14:23, 5,,,,0,,,,"));
}

// What the router writes is data: a line end in a value cannot end the row or forge another,
// and a value a spreadsheet would run as a formula is shown as text. Numbers stay as they are.
TEST(CsvLog, RouterTextStaysInsideItsField) {
    const struct {
        const char* text;
        const char* cell;
    } cells[] = {
        {"6.1", "6.1"},    {"-3.5", "-3.5"},           {"+2", "+2"},
        {"-1e5", "-1e5"},  {"1,097", "1,097"},         {"=2+5+00000", "'=2+5+00000"},
        {"+cmd", "'+cmd"}, {"-2+3", "'-2+3"},          {"@SUM(A1)", "'@SUM(A1)"},
        {" =1", " '=1"},   {"12\nFAKE", "12 FAKE"},    {"a\r\nb\x1b\x7f\tc", "a  b   c"},
        {"\n=1", " '=1"},  {"1\u2028x\u2029", "1 x "},
    };
    for (const auto& c : cells)
        EXPECT_EQ(LogCell(QString::fromUtf8(c.text)), QString::fromUtf8(c.cell)) << c.text;

    // A row from such a page: one line in the log, every value in its own column.
    LineSample forged = fullSample();
    forged.UptimeText = QStringLiteral(" 12\r\n");
    forged.NoiseMarginDownText = QStringLiteral("=2+5+00000");
    forged.DataRateDownRawText = QStringLiteral("16000\r\nFAKE ROW");
    const QString row = LogLine(kTime, forged, QStringLiteral("ddd dd mmm yyyy  hh:mm:ss"), 8);
    EXPECT_EQ(row, QStringLiteral("Tue 08 Dec 2026  14:23:05,  12  ,     6.3,'=2+5+00000,    1024,"
                                  "16000  FAKE ROW,    1100,   17000,    12.5,    23.0"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    CsvLog log;
    ASSERT_TRUE(log.WriteRow(path, row));
    const QByteArray header(kDefaultHeader);
    EXPECT_EQ(readFile(path),
              header + "\r\n" + QByteArray(header.size(), '-') + "\r\n" + row.toUtf8() + "\r\n");
}

// A page that lacked a group still gives ten columns: the group's are blank, and every other
// value stays under its own title.
TEST(CsvLog, MissingGroupsKeepTheirColumns) {
    const auto lacking = [](std::initializer_list<bool LineSample::*> flags) {
        LineSample s = fullSample(); // the texts stay: only the flags say what the page showed
        for (bool LineSample::*flag : flags)
            s.*flag = false;
        if (!s.HasDataRate)
            s.DataRateDownRawText = QStringLiteral("0"); // as the reader leaves it
        return s;
    };
    const struct {
        const char* name;
        LineSample sample;
        std::array<const char*, 8> values; // the columns after the date/time and the uptime
    } cases[] = {
        {"noise margin",
         lacking({&LineSample::HasNoiseMargin}),
         {"", "", "1024", "16000", "1100", "17000", "12.5", "23.0"}},
        {"data rate",
         lacking({&LineSample::HasDataRate}),
         {"6.3", "6.1", "", "0", "1100", "17000", "12.5", "23.0"}},
        {"user 1",
         lacking({&LineSample::HasUser1}),
         {"6.3", "6.1", "1024", "16000", "", "", "12.5", "23.0"}},
        {"user 2",
         lacking({&LineSample::HasUser2}),
         {"6.3", "6.1", "1024", "16000", "1100", "17000", "", ""}},
        {"all",
         lacking({&LineSample::HasNoiseMargin, &LineSample::HasDataRate, &LineSample::HasUser1,
                  &LineSample::HasUser2}),
         {"", "", "", "0", "", "", "", ""}},
    };
    for (const int tab : {0, 8}) {
        for (const auto& c : cases) {
            QStringList expected = {QStringLiteral("Tue 08 Dec 2026  14:23:05"),
                                    QStringLiteral(" 1:00:00:00")};
            for (const char* v : c.values)
                expected << QStringLiteral("%1").arg(QString::fromLatin1(v), tab);
            const QString row =
                LogLine(kTime, c.sample, QStringLiteral("ddd dd mmm yyyy  hh:mm:ss"), tab);
            EXPECT_EQ(row.split(QLatin1Char(',')), expected)
                << "lacking " << c.name << ", LogTab " << tab << ": " << row.toStdString();
        }
    }
}

TEST(CsvLog, HeaderPairOnNewFileAndAfterAChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    const QByteArray header(kDefaultHeader);
    const QByteArray dashes(header.size(), '-');
    CsvLog log;

    ASSERT_TRUE(log.WriteRow(path, QStringLiteral("row 1")));
    ASSERT_TRUE(log.WriteRow(path, QStringLiteral("row 2")));
    log.Header = LogHeader(QStringLiteral("Line Attenuation"), QStringLiteral("Line Attenuation"));
    log.HeaderPending = true;
    ASSERT_TRUE(log.WriteRow(path, QStringLiteral("row 3")));
    EXPECT_FALSE(log.HeaderPending);
    const QByteArray second = log.Header.toLatin1();
    EXPECT_EQ(readFile(path), header + "\r\n" + dashes + "\r\nrow 1\r\nrow 2\r\n" + second +
                                  "\r\n" + QByteArray(second.size(), '-') + "\r\nrow 3\r\n");

    // An existing file gets rows only, whatever its header says (here one from before the uptime
    // had a title): appending never rewrites it.
    const QString existing = dir.filePath(QStringLiteral("old.txt"));
    const QByteArray before = "Date/Time, Up SNR (dB), Down SNR (dB), Up Sync (Kbps)\r\n"
                              "-----------------------------------------------------\r\n"
                              "Mon 07 Dec 2026  10:00:00, 5,6.3,6.1,1024,16000\r\n";
    writeFile(existing, before);
    ASSERT_TRUE(log.WriteRow(existing, QStringLiteral("row")));
    EXPECT_EQ(readFile(existing), before + "row\r\n");
}

TEST(CsvLog, PendingHeaderWaitsForAWriteThatWorks) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("logs"));
    const QString path = folder + QStringLiteral("/log.txt");
    CsvLog log;
    log.HeaderPending = true;

    QString error;
    EXPECT_FALSE(log.WriteRow(path, QStringLiteral("lost"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(log.HeaderPending);
    EXPECT_FALSE(QFile::exists(path));

    // The existing file cannot grow, or only part of the header fits: still pending.
    QDir().mkpath(folder);
    writeFile(path, "old\r\n");
    for (rlim_t room : {5, 40}) {
        const FileSizeLimit full(room);
        error.clear();
        EXPECT_FALSE(log.WriteRow(path, QStringLiteral("lost too"), &error));
        EXPECT_FALSE(error.isEmpty()) << room;
        EXPECT_TRUE(log.HeaderPending) << room;
    }

    ASSERT_TRUE(log.WriteRow(path, QStringLiteral("row")));
    EXPECT_FALSE(log.HeaderPending);
    const QByteArray header = log.Header.toLatin1();
    EXPECT_TRUE(
        readFile(path).endsWith(header + "\r\n" + QByteArray(header.size(), '-') + "\r\nrow\r\n"));
}

TEST(CsvLog, StatusText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(LogStatusText(path), QStringLiteral("log.txt:   -1 bytes"));
    writeFile(path, QByteArray(700, 'x'));
    EXPECT_EQ(LogStatusText(path), QStringLiteral("log.txt:   700 bytes"));
    writeFile(path, QByteArray(1536, 'x'));
    EXPECT_EQ(LogStatusText(path), QStringLiteral("log.txt:   1.5 KB"));
}

TEST(CsvLog, TrimKeepsHeaderPairAndNewestRows) {
    const struct {
        int lines, trimLines;
        QByteArray expected;
    } cases[] = {
        {1005, 1000, "Header\r\n------\r\n" + logOf(1005).mid(logOf(5).size())},
        {1003, 1000, "Header\r\n------\r\n" + logOf(1003).mid(logOf(3).size())},
        {1002, 1000, logOf(1002)},
        {1, 1000, logOf(1)},
        {10, 0, logOf(2)},
        {10, -5, logOf(2)},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    TrimBusy busy;
    for (const auto& c : cases) {
        writeFile(path, logOf(c.lines));
        EXPECT_TRUE(TrimLog(path, c.trimLines, busy));
        EXPECT_EQ(readFile(path), c.expected) << c.lines << " lines, keep " << c.trimLines;
        EXPECT_FALSE(busy.isSet());
    }

    // Header pairs written later count as rows.
    writeFile(path, "H\r\n-\r\nr1\r\nH2\r\n--\r\nr2\r\n");
    EXPECT_TRUE(TrimLog(path, 2, busy));
    EXPECT_EQ(readFile(path), "H\r\n-\r\n--\r\nr2\r\n");

    const QString missing = dir.filePath(QStringLiteral("none.txt"));
    EXPECT_TRUE(TrimLog(missing, 10, busy));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(CsvLog, FailedTrimLeavesTheLogAndClearsBusy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    const QByteArray before = logOf(3000);
    writeFile(path, before);
    TrimBusy busy;
    QString error;
    {
        const FileSizeLimit full(1024);
        EXPECT_FALSE(TrimLog(path, 1000, busy, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(busy.isSet());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.txt")});

    error.clear();
    EXPECT_FALSE(TrimLog(dir.path(), 1000, busy, &error)); // a folder, not a file
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(busy.isSet());
}

} // namespace
