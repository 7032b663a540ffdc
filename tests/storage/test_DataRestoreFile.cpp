#include "storage/DataRestoreFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <array>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

using Values = std::array<double, 8>;

Values valuesOf(const LineSample& s) {
    return {s.NoiseMarginUp, s.NoiseMarginDown, s.DataRateUp, s.DataRateDown,
            s.User1Up,       s.User1Down,       s.User2Up,    s.User2Down};
}

LineSample sampleOf(const Values& v) {
    LineSample s;
    s.NoiseMarginUp = v[0];
    s.NoiseMarginDown = v[1];
    s.DataRateUp = v[2];
    s.DataRateDown = v[3];
    s.User1Up = v[4];
    s.User1Down = v[5];
    s.User2Up = v[6];
    s.User2Down = v[7];
    return s;
}

struct Restored {
    QString label;
    Values values;
};

// The lines restored; *whole tells whether the file was read to its end.
std::vector<Restored> restoreAll(const QString& path, bool* whole = nullptr,
                                 QString* error = nullptr) {
    std::vector<Restored> out;
    const bool ok = DataRestoreFile::Restore(
        path,
        [&](const QString& label, const LineSample& s) {
            out.push_back({label, valuesOf(s)});
        },
        error);
    if (whole)
        *whole = ok;
    return out;
}

// Lines "L<i>,<i>.5,1.0,..." so every kept line can be told apart.
QByteArray numberedLines(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += "L" + QByteArray::number(i) + ",6.3,6.1,1024.0,16000.0,1100.0,17000.0,12.5,23.0\r\n";
    return out;
}

const Values kFull{6.3, 6.1, 1024.0, 16000.0, 1100.0, 17000.0, 12.5, 23.0};

// Lines of one file, read in order: each carries the previous line's values into the next.
TEST(DataRestoreFile, RestoreFollowsTheFieldRules) {
    const struct {
        const char* line;
        const char* label;
        Values values;
    } cases[] = {
        // First line unreadable everywhere: zeros.
        {"x,a,b,c,d,e,f,g,h", "x ", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"14:23:05,6.3,6.1,1024.0,16000.0,1100.0,17000.0,12.5,23.0", "14:23:05 ", kFull},
        {"Tue 08 ! 14:23:05,1,2,3,4,5,6,7,8", "Tue 08 \r 14:23:05 ", {1, 2, 3, 4, 5, 6, 7, 8}},
        // Only the first "!" becomes a line break.
        {"a!b!c,6.3,6.1,1024.0,16000.0,1100.0,17000.0,12.5,23.0", "a\rb!c ", kFull},
        {"", " ", kFull},
        // Leftover text after the last "," is field 9; the fields between repeat.
        {"A,1,2", "A ", {1, 6.1, 1024.0, 16000.0, 1100.0, 17000.0, 12.5, 2}},
        {"B,5,6,7", "B ", {5, 6, 1024.0, 16000.0, 1100.0, 17000.0, 12.5, 7}},
        // No "," at all: empty label, the whole line is field 9.
        {"9.5", " ", {5, 6, 1024.0, 16000.0, 1100.0, 17000.0, 12.5, 9.5}},
        // Unreadable numbers keep the previous line's values.
        {"C,x,6.2,,1e999,abc,nan,12..5,",
         "C ",
         {5, 6.2, 1024.0, 16000.0, 1100.0, 17000.0, 12.5, 9.5}},
        // The old files' forms: one decimal, exponent with three digits, blanks, a plus sign.
        {"D,12.0,-1.5,1.0E+002,9.9E+003, 38.5 ,+4,0.0,-0.5",
         "D ",
         {12, -1.5, 100, 9900, 38.5, 4, 0, -0.5}},
        // Trailing text makes a number unreadable: "6.3dB" is not 6.3.
        {"E,6.3dB,7", "E ", {12, -1.5, 100, 9900, 38.5, 4, 0, 7}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Lintrove5A.txt"));
    QByteArray file;
    for (const auto& c : cases)
        file += QByteArray(c.line) + "\r\n";
    writeFile(path, file);

    bool whole = false;
    QString error;
    const auto restored = restoreAll(path, &whole, &error);
    EXPECT_TRUE(whole) << error.toStdString();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(restored.size(), std::size(cases));
    for (size_t i = 0; i < restored.size(); ++i) {
        EXPECT_EQ(restored[i].label, QString::fromLatin1(cases[i].label)) << cases[i].line;
        EXPECT_EQ(restored[i].values, cases[i].values) << cases[i].line;
    }
}

TEST(DataRestoreFile, GoodLinesSurviveADamagedMiddle) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lintrove5A.txt"));
    QByteArray garbage("\x00\xff\xfe,\x01\x02,,\r\x7f\x80,1.5\x00,zz\n\n", 26);
    garbage += QByteArray(300, '\0');
    garbage += "\r\n";
    writeFile(path, "A,1,2,3,4,5,6,7,8\r\n" + garbage +
                        "Tue 08 ! 14:23:05,6.3,6.1,1024.0,16000.0,1100.0,17000.0,12.5,23.0\r\n"
                        "B,8,7,6,5,4,3,2,1"); // last line without a line end

    const auto restored = restoreAll(path);
    ASSERT_GE(restored.size(), 3u);
    EXPECT_EQ(restored.front().values, (Values{1, 2, 3, 4, 5, 6, 7, 8}));
    const Restored& good = restored[restored.size() - 2];
    EXPECT_EQ(good.label, QStringLiteral("Tue 08 \r 14:23:05 "));
    EXPECT_EQ(good.values, kFull);
    EXPECT_EQ(restored.back().label, QStringLiteral("B "));
    EXPECT_EQ(restored.back().values, (Values{8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(DataRestoreFile, UnreadableFileReportsTheError) {
    QTemporaryDir dir;
    int calls = 0;
    const auto count = [&](const QString&, const LineSample&) { ++calls; };
    for (const QString& path : {dir.filePath(QStringLiteral("missing.txt")), dir.path()}) {
        QString error;
        EXPECT_FALSE(DataRestoreFile::Restore(path, count, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
    }
    // With no error text asked for, the failure still shows.
    EXPECT_FALSE(DataRestoreFile::Restore(dir.path(), count));
    EXPECT_EQ(calls, 0);
}

TEST(DataRestoreFile, ValuesAreWrittenAsPlotted) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {16000, "16000.0"},
        {12.34, "12.34"},
        {6.3, "6.3"},
        {100, "100.0"},
        {-1.5, "-1.5"},
        {0, "0.0"},
        {-0.0, "0.0"},
        {9.96, "9.96"},
        {1e-7, "0.0000001"},
        {123456789.125, "123456789.125"},
        {1e21, "1000000000000000000000.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataRestoreFile::FormatValue(c.value), QByteArray(c.text)) << c.value;

    // Any value reads back exactly, never in exponent form.
    QRandomGenerator rng(42);
    for (int i = 0; i < 20000; ++i) {
        const double v = (rng.generateDouble() - 0.3) * std::pow(10.0, rng.bounded(-6, 9));
        const QByteArray text = DataRestoreFile::FormatValue(v);
        ASSERT_FALSE(text.contains('e') || text.contains('E')) << text.constData();
        ASSERT_TRUE(text.contains('.')) << text.constData();
        double back = 0;
        std::from_chars(text.constData(), text.constData() + text.size(), back);
        ASSERT_EQ(back, v) << text.constData();
    }
}

TEST(DataRestoreFile, LineLayoutAndLabel) {
    const LineSample s = sampleOf({6.3, 12.34, 1024, 16000, 1100, 17000, 12.5, 23});
    const struct {
        const char* label;
        const char* line;
    } cases[] = {
        {" Tue 08 \r 14:23:05 ",
         "Tue 08 ! 14:23:05,6.3,12.34,1024.0,16000.0,1100.0,17000.0,12.5,23.0"},
        {" 14:23:05 ", "14:23:05,6.3,12.34,1024.0,16000.0,1100.0,17000.0,12.5,23.0"},
        {"a\rb\rc", "a!b\rc,6.3,12.34,1024.0,16000.0,1100.0,17000.0,12.5,23.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataRestoreFile::Line(QString::fromLatin1(c.label), s), QByteArray(c.line))
            << c.line;
}

TEST(DataRestoreFile, DecimalCommaLocaleDoesNotChangeTheFile) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    const LineSample s = sampleOf({6.3, 12.34, 1024, 16000, 1100.5, 17000, 12.5, -1.5});
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool appended = DataRestoreFile::Append(path, QStringLiteral(" 14:23:05 "), s);
    const auto restored = restoreAll(path);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(appended);
    EXPECT_EQ(readFile(path), "14:23:05,6.3,12.34,1024.0,16000.0,1100.5,17000.0,12.5,-1.5\r\n");
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0].values, valuesOf(s));
}

TEST(DataRestoreFile, AppendCreatesAddsAndRoundTrips) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Lintrove5A.txt")));
    const Values first{6.3, 6.1, 1024, 16000, 1100, 17000, 12.5, 23};
    const Values second{0.1 + 0.2, -3.25, 987654.321, 0, 1e-3, 42, 7.77, 88.8};
    ASSERT_TRUE(
        DataRestoreFile::Append(path, QStringLiteral(" Tue 08 \r 14:23:05 "), sampleOf(first)));
    ASSERT_TRUE(
        DataRestoreFile::Append(path, QStringLiteral(" Tue 08 \r 14:23:35 "), sampleOf(second)));

    const auto restored = restoreAll(path);
    ASSERT_EQ(restored.size(), 2u);
    EXPECT_EQ(restored[0].label, QStringLiteral("Tue 08 \r 14:23:05 "));
    EXPECT_EQ(restored[0].values, first);
    EXPECT_EQ(restored[1].values, second);

    // A full disk: the line is reported lost.
    {
        const FileSizeLimit full(QFile(path).size() + 10);
        QString error;
        EXPECT_FALSE(DataRestoreFile::Append(path, QStringLiteral("x"), sampleOf(first), &error));
        EXPECT_FALSE(error.isEmpty());
    }

    // A missing folder: the line is lost and nothing is created.
    const QString lost = DataRestoreFile::PathIn(dir.filePath(QStringLiteral("gone")));
    QString error;
    EXPECT_FALSE(DataRestoreFile::Append(lost, QStringLiteral("x"), sampleOf(first), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(lost));
}

TEST(DataRestoreFile, OldOneDecimalFileRestoresUnchanged) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    const QByteArray old =
        "Mon 07 ! 23:59:40,6.3,12.0,1.0E+003,16000.0,1100.0,17000.0,12.5,23.0\r\n"
        "Tue 08 ! 00:00:10,-1.5,10.0,1.1E+003,15999.0,1100.0,17000.0,12.0,24.0\r\n";
    writeFile(path, old);
    const auto restored = restoreAll(path);
    ASSERT_EQ(restored.size(), 2u);
    EXPECT_EQ(restored[0].values, (Values{6.3, 12, 1000, 16000, 1100, 17000, 12.5, 23}));
    EXPECT_EQ(restored[1].values, (Values{-1.5, 10, 1100, 15999, 1100, 17000, 12, 24}));

    // A trim that keeps everything leaves the old lines byte for byte.
    TrimBusy busy;
    EXPECT_TRUE(DataRestoreFile::Trim(path, 30, 30, busy));
    EXPECT_EQ(readFile(path), old);
}

TEST(DataRestoreFile, LinesToKeepFollowTheSampleInterval) {
    const struct {
        int sample, days;
        qint64 keep;
    } cases[] = {{30, 30, 86400}, {10, 30, 259200}, {7, 1, 12343}, {256, 1, 338},
                 {300, 2, 576},   {30, 0, 0},       {30, -3, 0},   {0, 1, 86400}};
    for (const auto& c : cases)
        EXPECT_EQ(DataRestoreFile::LinesToKeep(c.sample, c.days), c.keep)
            << c.sample << " s, " << c.days << " days";
}

TEST(DataRestoreFile, TrimKeepsTheNewestLines) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    TrimBusy busy;

    writeFile(path, numberedLines(90000));
    EXPECT_TRUE(DataRestoreFile::Trim(path, 30, 30, busy));
    EXPECT_FALSE(busy.isSet());
    const QByteArray kept = readFile(path);
    EXPECT_EQ(kept, numberedLines(90000).mid(numberedLines(3600).size()));
    EXPECT_EQ(kept.count('\n'), 86400);
    EXPECT_TRUE(kept.startsWith("L3600,"));

    // Fewer lines than K, and LF-only lines from a hand edit: rewritten with CR LF, nothing lost.
    writeFile(path, "a,1\nb,2\r\nc,3");
    EXPECT_TRUE(DataRestoreFile::Trim(path, 30, 30, busy));
    EXPECT_EQ(readFile(path), "a,1\r\nb,2\r\nc,3\r\n");

    writeFile(path, numberedLines(1000));
    EXPECT_TRUE(DataRestoreFile::Trim(path, 30, 30, busy));
    EXPECT_EQ(readFile(path), numberedLines(1000));

    EXPECT_TRUE(DataRestoreFile::Trim(path, 30, 0, busy));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(readFile(path), QByteArray());

    const QString missing = DataRestoreFile::PathIn(dir.filePath(QStringLiteral("none")));
    EXPECT_TRUE(DataRestoreFile::Trim(missing, 30, 30, busy));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(DataRestoreFile, FailedTrimLeavesTheFileAndClearsBusy) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    const QByteArray before = numberedLines(2000);
    writeFile(path, before);
    TrimBusy busy;

    QString error;
    {
        const FileSizeLimit full(4096); // the rewrite runs out of room
        EXPECT_FALSE(DataRestoreFile::Trim(path, 30, 1, busy, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(busy.isSet());
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Lintrove5A.txt")});

    // A path that cannot be read as a file.
    const QString folder = dir.filePath(QStringLiteral("folder"));
    QDir().mkpath(folder);
    error.clear();
    EXPECT_FALSE(DataRestoreFile::Trim(folder, 30, 1, busy, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(busy.isSet());
}

} // namespace
