#include "storage/Settings.h"

#include "core/EnDeCrypt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

namespace {

const QDateTime kStart(QDate(2024, 3, 5), QTime(14, 7, 9, 250));
const QTime kStartTime(14, 7, 9);

Settings freshDefaults() {
    return Settings::defaults(QStringLiteral("/opt/lt/"), kStart, QSize(1920, 1080));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray crlf(const QStringList& lines) {
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QList<QByteArray> fileLines(const QString& path) {
    QList<QByteArray> lines = readAll(path).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// Every member set to a value other than its default.
Settings everythingChanged() {
    Settings s = freshDefaults();
    s.Address = QStringLiteral("10.0.0.138");
    s.Password = QStringLiteral("pässwörd€");
    s.ShowPlain = true;
    s.Type = 3;
    s.FirstUrl = QStringLiteral("/other.cgi?x=1");
    s.Sample = 45;
    s.PointsperPage = 960;
    s.User1 = 2;
    s.User2 = 0;
    s.Total1 = false;
    s.LastHour1 = true;
    s.Total2 = false;
    s.LastHour2 = true;
    s.Prompt = false;
    s.Minimize = true;
    s.StartMinimized = true;
    s.Restore = false;
    s.TrimDataFile = false;
    s.TrimDataFileDays = 7;
    s.TrimDataFileTime = QTime(3, 4, 5);
    s.DataFileFolder = QStringLiteral("/data/ä b");
    s.SaveAxes = true;
    s.Axes = {
        {{12, 11, -1, -3}, {100, 90, 5, 6}, {40, 41, 1, 2}, {30, 31, 3, 4}, {15, 14, -5, -4}}};
    s.ThreeD = QStringLiteral("10110");
    s.Page = 2;
    s.cbLog = true;
    s.LogFile = QStringLiteral("/logs/line log.csv");
    s.TrimLog = true;
    s.TrimLines = 250;
    s.TrimTime = QStringLiteral("23:59");
    s.LogDays = false;
    s.LogSeconds = true;
    s.Capture = QStringLiteral("/pics");
    s.cbCapture = true;
    s.LostSync = true;
    s.OnClose = true;
    s.DeleteImages = true;
    s.DeleteDays = 9;
    s.DeleteTime = QTime(0, 0, 1);
    s.LogTab = 12;
    s.ImagePrefix = QStringLiteral("Img_");
    s.AddPrefix = false;
    s.Recycle = false;
    s.ImageDateFormat = QStringLiteral("yyyy-mm-dd hh.nn");
    s.LogDateFormat = QStringLiteral("dd/mm/yy h:n");
    s.PauseDelay = 600;
    s.Monitor1 = true;
    s.HHAUrl = QStringLiteral("/a.html");
    s.HHBUrl = QStringLiteral("/b.html");
    s.WebFolder = QStringLiteral("/srv/www");
    s.DateStamp = false;
    s.Restart = true;
    s.RestartDays = 3;
    s.RestartTime = QDateTime(QDate(2025, 1, 2), QTime(4, 5, 6));
    s.Web = true;
    s.WebAddress = QStringLiteral("127.0.0.1");
    s.Port = QStringLiteral("81"); // the old default, stored by a user: kept as it is
    s.webWidth = QStringLiteral("640");
    s.webHeight = QStringLiteral("480");
    s.DropDamageTold = QStringLiteral("0123456789abcdef");
    s.Height = 700;
    s.Top = 10;
    s.Width = 900;
    s.Left = 20;
    return s;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.filePath(QStringLiteral("lintrove5a.ini")); }
    Settings saveAndReload(const Settings& s) {
        QString error;
        EXPECT_TRUE(s.save(path(), &error)) << error.toStdString();
        Settings loaded = freshDefaults();
        EXPECT_TRUE(loaded.load(path()));
        return loaded;
    }
    QTemporaryDir dir;
};

TEST_F(SettingsFile, FirstRunDefaults) {
    Settings s = freshDefaults();
    EXPECT_FALSE(s.load(path()));
    EXPECT_EQ(s, freshDefaults());

    EXPECT_EQ(s.Sample, 30);
    EXPECT_EQ(s.PointsperPage, 480);
    EXPECT_EQ(s.Port, QStringLiteral("8081")); // a normal user may listen on it
    EXPECT_EQ(s.webHeight, QStringLiteral("250"));
    EXPECT_TRUE(s.Restore);
    EXPECT_TRUE(s.TrimDataFile);
    EXPECT_FALSE(s.cbLog);
    EXPECT_EQ(s.DataFileFolder, QStringLiteral("/opt/lt"));
    EXPECT_EQ(s.LogFile, QStringLiteral("/opt/lt/log.txt"));
    EXPECT_EQ(s.Capture, QStringLiteral("/opt/lt/Capture"));
    EXPECT_EQ(s.WebFolder, QStringLiteral("/opt/lt/WebServer"));
    EXPECT_EQ(s.TrimDataFileTime, kStartTime);
    EXPECT_EQ(s.DeleteTime, kStartTime);
    EXPECT_EQ(s.TrimTime, QStringLiteral("14:07"));
    EXPECT_EQ(s.RestartTime, QDateTime(kStart.date(), kStartTime));

    const struct {
        QSize screen;
        int top, left;
    } windows[] = {{QSize(1920, 1080), 215, 535},
                   {QSize(1366, 767), 58, 258},
                   {QSize(), 187, 215},
                   {QSize(0, 0), 187, 215}};
    for (const auto& w : windows) {
        const Settings d = Settings::defaults(QStringLiteral("/p"), kStart, w.screen);
        EXPECT_EQ(d.Width, 850);
        EXPECT_EQ(d.Height, 650);
        EXPECT_EQ(d.Top, w.top) << w.screen.width() << "x" << w.screen.height();
        EXPECT_EQ(d.Left, w.left) << w.screen.width() << "x" << w.screen.height();
    }
}

TEST_F(SettingsFile, OneSaveWritesEverySectionAndKeyInOrder) {
    QString error;
    ASSERT_TRUE(freshDefaults().save(path(), &error)) << error.toStdString();
    const QByteArray expected = crlf({
        "[LT-BT]",
        "Address=192.168.1.254",
        "Password=",
        "ShowPlain=0",
        "Type=0",
        "FirstUrl=/index.cgi?active_page=9143",
        "Sample=30",
        "PointsperPage=480",
        "User1=0",
        "User2=1",
        "Total1=1",
        "LastHour1=0",
        "Total2=1",
        "LastHour2=0",
        "Prompt=1",
        "Minimize=0",
        "StartMinimized=0",
        "Restore=1",
        "TrimDataFile=1",
        "TrimDataFileDays=30",
        "TrimDataFileTime=14:07:09",
        "DataFileFolder=/opt/lt",
        "SaveAxes=0",
        "3D=00000",
        "Page=0",
        "",
        "[Log]",
        "cbLog=0",
        "LogFile=/opt/lt/log.txt",
        "TrimLog=0",
        "TrimLines=1000",
        "TrimTime=14:07",
        "LogDays=1",
        "LogSeconds=0",
        "",
        "[Capture]",
        "Capture=/opt/lt/Capture",
        "cbCapture=0",
        "LostSync=0",
        "OnClose=0",
        "DeleteImages=0",
        "DeleteDays=5",
        "DeleteTime=14:07:09",
        "",
        "[Advanced]",
        "LogTab=8",
        "ImagePrefix=Ltrv-",
        "AddPrefix=1",
        "Recycle=1",
        "ImageDateFormat=yyyymmdd-hhmmss",
        "LogDateFormat=ddd dd mmm yyyy  hh:mm:ss",
        "PauseDelay=120",
        "Monitor1=0",
        "HHAUrl=",
        "HHBUrl=/html/settings/a_adsl.html",
        "WebFolder=/opt/lt/WebServer",
        "DateStamp=1",
        "Restart=0",
        "RestartDays=1",
        "RestartTime=2024-03-05 14:07:09",
        "",
        "[WebServer]",
        "Web=0",
        "Address=",
        "Port=8081",
        "webWidth=500",
        "webHeight=250",
        "",
        "[LT-Form]",
        "Height=650",
        "Top=215",
        "Width=850",
        "Left=535",
    });
    EXPECT_EQ(readAll(path()), expected);
}

TEST_F(SettingsFile, AxisKeysFollowSaveAxesInTheirOrder) {
    Settings s = freshDefaults();
    s.SaveAxes = true;
    ASSERT_TRUE(s.save(path(), nullptr));
    const QList<QByteArray> lines = fileLines(path());
    const qsizetype at = lines.indexOf("SaveAxes=1");
    ASSERT_GE(at, 0);
    const QList<QByteArray> expected = {
        "C1Lx=10", "C1Rx=10", "C5Lx=10", "C5Rx=10", "C2Lx=20", "C2Rx=20", "C3Lx=20",
        "C3Rx=20", "C4Lx=20", "C4Rx=20", "C1L=-2",  "C1R=-2",  "C5L=-2",  "C5R=-2",
        "C2L=0",   "C2R=0",   "C3L=0",   "C3R=0",   "C4L=0",   "C4R=0",   "3D=00000"};
    EXPECT_EQ(lines.mid(at + 1, expected.size()), expected);
}

TEST_F(SettingsFile, EveryKeyRoundTrips) {
    const Settings changed = everythingChanged();

    // Guard for the test itself: every key line must differ from the defaults' file (whose axes
    // are switched on to have their keys written too, and its optional key given a value).
    Settings defaultsWithAxes = freshDefaults();
    defaultsWithAxes.SaveAxes = true;
    defaultsWithAxes.DropDamageTold = QStringLiteral("0000000000000000");
    const QString defaultsPath = dir.filePath(QStringLiteral("defaults.ini"));
    ASSERT_TRUE(defaultsWithAxes.save(defaultsPath, nullptr));
    ASSERT_TRUE(changed.save(path(), nullptr));
    const QList<QByteArray> a = fileLines(defaultsPath), b = fileLines(path());
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].contains('=') && a[i] != "SaveAxes=1") {
            EXPECT_NE(a[i], b[i]) << a[i].constData();
        }
    }

    Settings loaded = saveAndReload(changed);
    EXPECT_EQ(loaded.Type, 0) << "Type is written, never read";
    loaded.Type = changed.Type;
    EXPECT_TRUE(loaded == changed);
    // A readable account of any difference.
    const QString reloadedPath = dir.filePath(QStringLiteral("reloaded.ini"));
    ASSERT_TRUE(loaded.save(reloadedPath, nullptr));
    EXPECT_EQ(readAll(reloadedPath), readAll(path()));
}

TEST_F(SettingsFile, PasswordStoredScrambledAsRawBytes) {
    const char* passwords[] = {"abc", "pässwörd€", " spaced out ", "=[x]=", "\u07C0x\u07FF", ""};
    for (const char* p : passwords) {
        Settings s = freshDefaults();
        s.Password = QString::fromUtf8(p);
        const Settings loaded = saveAndReload(s);
        EXPECT_EQ(loaded.Password, s.Password) << p;
        EXPECT_TRUE(fileLines(path()).contains("Password=" + EnDeCrypt(QByteArray(p)))) << p;
    }
    Settings s = freshDefaults();
    s.Password = QStringLiteral("abc");
    ASSERT_TRUE(s.save(path(), nullptr));
    EXPECT_TRUE(readAll(path()).contains(QByteArray("\r\nPassword=\x9E\x9D\x9C\r\n")));
}

TEST_F(SettingsFile, HandEditedValues) {
    const QString longText(3000, QLatin1Char('p'));
    const struct {
        const char* name;
        QByteArray content;
        std::function<void(const Settings&)> check;
    } cases[] = {
        {"garbage integer", "[LT-BT]\nSample=abc\nUser2=1.5\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Sample, 30);
             EXPECT_EQ(s.User2, 1);
         }},
        {"hexadecimal", "[LT-BT]\nSample=0x3C\nPointsperPage=0X1E\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Sample, 60);
             EXPECT_EQ(s.PointsperPage, 30);
         }},
        {"hexadecimal 0x1E", "[LT-BT]\nSample=0x1E\n",
         [](const Settings& s) { EXPECT_EQ(s.Sample, 30); }},
        {"sample below range", "[LT-BT]\nSample=5\n",
         [](const Settings& s) { EXPECT_EQ(s.Sample, 10); }},
        {"sample above range", "[LT-BT]\nSample=900\n",
         [](const Settings& s) { EXPECT_EQ(s.Sample, 300); }},
        {"points per page unbounded", "[LT-BT]\nPointsperPage=5\n",
         [](const Settings& s) { EXPECT_EQ(s.PointsperPage, 5); }},
        {"short 3D", "[LT-BT]\n3D=1\n",
         [](const Settings& s) { EXPECT_EQ(s.ThreeD, QStringLiteral("1")); }},
        {"boolean not an integer", "[LT-BT]\nRestore=yes\nPrompt=no\nShowPlain=2\n",
         [](const Settings& s) {
             EXPECT_TRUE(s.Restore);
             EXPECT_TRUE(s.Prompt);
             EXPECT_TRUE(s.ShowPlain);
         }},
        {"bad times", "[Capture]\nDeleteTime=not a time\n[LT-BT]\nTrimDataFileTime=25:00:00\n",
         [](const Settings& s) {
             EXPECT_EQ(s.DeleteTime, kStartTime);
             EXPECT_EQ(s.TrimDataFileTime, kStartTime);
         }},
        {"times without seconds",
         "[Capture]\nDeleteTime=7:05\n[LT-BT]\nTrimDataFileTime=23:59:58\n",
         [](const Settings& s) {
             EXPECT_EQ(s.DeleteTime, QTime(7, 5));
             EXPECT_EQ(s.TrimDataFileTime, QTime(23, 59, 58));
         }},
        {"bad restart time", "[Advanced]\nRestartTime=tomorrow\n",
         [](const Settings& s) { EXPECT_EQ(s.RestartTime, QDateTime(kStart.date(), kStartTime)); }},
        {"restart date alone is midnight", "[Advanced]\nRestartTime=2024-02-29\n",
         [](const Settings& s) {
             EXPECT_EQ(s.RestartTime, QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
         }},
        {"trim time is text", "[Log]\nTrimTime=whenever\n",
         [](const Settings& s) { EXPECT_EQ(s.TrimTime, QStringLiteral("whenever")); }},
        {"overlong text", "[Advanced]\nImagePrefix=" + longText.toUtf8() + "\n",
         [&](const Settings& s) { EXPECT_EQ(s.ImagePrefix, longText.left(2047)); }},
        {"type never read", "[LT-BT]\nType=7\n", [](const Settings& s) { EXPECT_EQ(s.Type, 0); }},
        {"counts that would lose data or make no sense",
         "[LT-BT]\nTrimDataFileDays=-3\n[Log]\nTrimLines=-1\n[Capture]\nDeleteDays=-2\n"
         "[Advanced]\nLogTab=-8\nPauseDelay=0\nRestartDays=-1\n",
         [](const Settings& s) {
             EXPECT_EQ(s.TrimDataFileDays, 30);
             EXPECT_EQ(s.TrimLines, 1000);
             EXPECT_EQ(s.DeleteDays, 5);
             EXPECT_EQ(s.LogTab, 8);
             EXPECT_EQ(s.PauseDelay, 120);
             EXPECT_EQ(s.RestartDays, 1);
         }},
        {"a tab or pause delay too large", "[Advanced]\nLogTab=2000000000\nPauseDelay=3000000\n",
         [](const Settings& s) {
             EXPECT_EQ(s.LogTab, 8);
             EXPECT_EQ(s.PauseDelay, 120);
         }},
        {"the largest tab and pause delay stay", "[Advanced]\nLogTab=20\nPauseDelay=2147483\n",
         [](const Settings& s) {
             EXPECT_EQ(s.LogTab, 20);
             EXPECT_EQ(s.PauseDelay, 2147483);
         }},
        {"a day count of 0 stays", "[LT-BT]\nTrimDataFileDays=0\n",
         [](const Settings& s) { EXPECT_EQ(s.TrimDataFileDays, 0); }},
        {"axes ignored without SaveAxes", "[LT-BT]\nSaveAxes=0\nC1Lx=50\nC2L=5\n",
         [](const Settings& s) { EXPECT_EQ(s.Axes, freshDefaults().Axes); }},
        {"axes read with SaveAxes", "[LT-BT]\nSaveAxes=1\nC1Lx=50\nC5R=-7\nC2L=0x5\nC3Lx=bad\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Axes[0].leftMax, 50);
             EXPECT_EQ(s.Axes[4].rightMin, -7);
             EXPECT_EQ(s.Axes[1].leftMin, 5);
             EXPECT_EQ(s.Axes[2].leftMax, 20);
         }},
        {"names in any case", "[lt-bt]\nsample=60\n[WEBSERVER]\nADDRESS=127.0.0.1\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Sample, 60);
             EXPECT_EQ(s.WebAddress, QStringLiteral("127.0.0.1"));
             EXPECT_EQ(s.Address, QStringLiteral("192.168.1.254"));
         }},
        {"window bounds", "[LT-Form]\nWidth=wide\nHeight=700\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Width, 850);
             EXPECT_EQ(s.Height, 700);
         }},
        {"only one section", "[Log]\ncbLog=1\n",
         [](const Settings& s) {
             Settings expected = freshDefaults();
             expected.cbLog = true;
             EXPECT_TRUE(s == expected);
         }},
        {"not an ini file at all", QByteArray("\x00\xFF garbage\n=\n[\n", 15),
         [](const Settings& s) { EXPECT_TRUE(s == freshDefaults()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path(), c.content);
        Settings s = freshDefaults();
        EXPECT_TRUE(s.load(path()));
        c.check(s);
    }
}

// Whatever a hand-edited file holds, saving what was loaded must load back the same settings
// and save to the same file again.
TEST_F(SettingsFile, HandEditedFilesSaveAndLoadBackTheSame) {
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"lone CR in a text", "[Advanced]\nLogDateFormat=dd\rmm\n"},
        {"lone CR in the password", "[LT-BT]\nPassword=\r\x7F\x7F\x7F\n"},
        {"long password that is no UTF-8 unscrambled",
         "[LT-BT]\nPassword=" + QByteArray(1000, '\x7F')},
        {"blank where a text is cut", "[Advanced]\nImagePrefix=" + QByteArray(2046, 'p') + " q\n"},
        {"doubled byte-order mark", "\xEF\xBB\xBF\xEF\xBB\xBF[LT-BT]\nSample=60\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path(), c.content);
        Settings first = freshDefaults();
        ASSERT_TRUE(first.load(path()));
        const Settings second = saveAndReload(first);
        EXPECT_TRUE(second == first);
        const QByteArray saved = readAll(path());
        ASSERT_TRUE(second.save(path(), nullptr));
        EXPECT_EQ(readAll(path()), saved);
    }
}

TEST_F(SettingsFile, SavingKeepsTheFilesOwnLinesAndOrder) {
    writeAll(path(), "; my notes\r\n"
                     "[LT-BT]\r\n"
                     "sample=60\r\n"
                     "MyKey=keep me\r\n"
                     "\r\n"
                     "[Mine]\r\n"
                     "x=y\r\n"
                     "[Log]\r\n"
                     "cblog=1\r\n");
    Settings s = freshDefaults();
    ASSERT_TRUE(s.load(path()));
    EXPECT_EQ(s.Sample, 60);
    EXPECT_TRUE(s.cbLog);
    s.Sample = 90;
    ASSERT_TRUE(s.save(path(), nullptr));

    const QList<QByteArray> lines = fileLines(path());
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 5), QList<QByteArray>({"; my notes", "[LT-BT]", "Sample=90",
                                                  "MyKey=keep me", "Address=192.168.1.254"}));
    const qsizetype mine = lines.indexOf("[Mine]");
    ASSERT_GT(mine, 0);
    EXPECT_EQ(lines[mine - 2], "Page=0") << "new keys go to the end of their section";
    EXPECT_EQ(lines[mine - 1], "");
    EXPECT_EQ(lines.mid(mine, 4), QList<QByteArray>({"[Mine]", "x=y", "[Log]", "cbLog=1"}));
    EXPECT_EQ(lines[mine + 4], "LogFile=/opt/lt/log.txt");
    EXPECT_EQ(lines.count("Sample=90"), 1);
    EXPECT_FALSE(lines.contains("sample=60"));
    EXPECT_EQ(lines.mid(mine + 9, 3), QList<QByteArray>({"LogSeconds=0", "", "[Capture]"}));
}

TEST_F(SettingsFile, AxisKeysOfTheFileStayWhileSaveAxesIsOff) {
    writeAll(path(), "[LT-BT]\r\nC1Lx=77\r\nC3R=-4\r\nSaveAxes=0\r\n");
    Settings s = freshDefaults();
    ASSERT_TRUE(s.load(path()));
    EXPECT_EQ(s.Axes, freshDefaults().Axes);
    s.Axes[0].leftMax = 50;
    ASSERT_TRUE(s.save(path(), nullptr));
    QList<QByteArray> lines = fileLines(path());
    EXPECT_EQ(lines.mid(0, 4), QList<QByteArray>({"[LT-BT]", "C1Lx=77", "C3R=-4", "SaveAxes=0"}));
    EXPECT_EQ(lines.count("C1Rx=10"), 0);

    // Switched on, the axes are written over those lines, truncated toward zero by the caller.
    s.SaveAxes = true;
    s.Axes[0].leftMax = Settings::truncateAxis(12.9);
    s.Axes[0].leftMin = Settings::truncateAxis(-1.5);
    const Settings loaded = saveAndReload(s);
    EXPECT_EQ(loaded.Axes[0].leftMax, 12);
    EXPECT_EQ(loaded.Axes[0].leftMin, -1);
    EXPECT_EQ(loaded.Axes, s.Axes);
    lines = fileLines(path());
    EXPECT_EQ(lines.mid(0, 4), QList<QByteArray>({"[LT-BT]", "C1Lx=12", "C3R=0", "SaveAxes=1"}));
}

TEST(SettingsAxis, TruncatesTowardZero) {
    const struct {
        double value;
        int expected;
    } cases[] = {{12.9, 12},
                 {-1.5, -1},
                 {-0.5, 0},
                 {20.0, 20},
                 {-2.0, -2},
                 {1e12, std::numeric_limits<int>::max()},
                 {-1e12, std::numeric_limits<int>::min()},
                 {std::nan(""), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Settings::truncateAxis(c.value), c.expected) << c.value;
}

TEST_F(SettingsFile, RestartTimeAtMidnightIsWrittenAsTheDateAlone) {
    Settings s = freshDefaults();
    s.RestartTime = QDateTime(QDate(2024, 12, 31), QTime(0, 0));
    const Settings loaded = saveAndReload(s);
    EXPECT_TRUE(fileLines(path()).contains("RestartTime=2024-12-31"));
    EXPECT_EQ(loaded.RestartTime, s.RestartTime);
}

TEST_F(SettingsFile, WrittenForTheOwnerOnly) {
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                        QFileDevice::WriteOther;
    ASSERT_TRUE(freshDefaults().save(path(), nullptr));
    EXPECT_EQ(QFile::permissions(path()) & (ownerOnly | others), ownerOnly);

    // An older file readable by everyone is replaced by an owner-only one.
    ASSERT_TRUE(
        QFile::setPermissions(path(), ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(freshDefaults().save(path(), nullptr));
    EXPECT_EQ(QFile::permissions(path()) & (ownerOnly | others), ownerOnly);
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFile) {
    // A path that is a folder can be neither read nor replaced.
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QString error;
    EXPECT_FALSE(freshDefaults().save(folder, &error));
    EXPECT_EQ(error, QStringLiteral("Unable to write to ") + folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A name so long that the temporary file beside it cannot be created.
    const QString longName = dir.filePath(QString(250, QLatin1Char('n')));
    const QByteArray old("[LT-BT]\r\nSample=60\r\nMine=1\r\n");
    writeAll(longName, old);
    error.clear();
    EXPECT_FALSE(everythingChanged().save(longName, &error));
    EXPECT_EQ(error, QStringLiteral("Unable to write to ") + longName);
    EXPECT_EQ(readAll(longName), old);
}

TEST_F(SettingsFile, AReadOnlyFolderOrUnreadableFileIsNotReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser ignores file permissions";
    const QByteArray old("[LT-BT]\r\nSample=60\r\nMine=1\r\n");
    writeAll(path(), old);

    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QString error;
    EXPECT_FALSE(everythingChanged().save(path(), &error));
    EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path());
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner));
    EXPECT_EQ(readAll(path()), old);

    // Replacing a file that cannot be read would lose its unknown keys.
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    EXPECT_FALSE(everythingChanged().save(path(), &error));
    Settings s = freshDefaults();
    EXPECT_TRUE(s.load(path())) << "an unreadable file is still no first run";
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(readAll(path()), old);
}

} // namespace
