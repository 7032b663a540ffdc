#pragma once
// Every user setting of the monitor, each member named by its settings-file key, with loading
// from and saving to the settings file (an INI file beside the program).
#include <QDateTime>
#include <QSize>
#include <QString>
#include <QTime>
#include <array>

struct Settings {
    // Section "LT-BT".
    QString Address = QStringLiteral("192.168.1.254");
    QString Password; // plain; scrambled with EnDeCrypt in the file
    bool ShowPlain = false;
    int Type = 0; // written only
    QString FirstUrl = QStringLiteral("/index.cgi?active_page=9143");
    int Sample = 30; // seconds, clamped to 10..300 on loading
    int PointsperPage = 480;
    int User1 = 0;
    int User2 = 1;
    bool Total1 = true, LastHour1 = false, Total2 = true, LastHour2 = false;
    bool Prompt = true;
    bool Minimize = false;
    bool StartMinimized = false;
    bool Restore = true;
    bool TrimDataFile = true;
    int TrimDataFileDays = 30;
    QTime TrimDataFileTime; // default: the time of day at start
    QString DataFileFolder; // default: the program folder
    bool SaveAxes = false;
    // Vertical axes of Chart1..Chart5 (index 0..4): keys C<n>Lx, C<n>Rx (maxima), C<n>L, C<n>R.
    struct ChartAxes {
        int leftMax, rightMax, leftMin, rightMin;
        bool operator==(const ChartAxes&) const = default;
    };
    std::array<ChartAxes, 5> Axes{
        {{10, 10, -2, -2}, {20, 20, 0, 0}, {20, 20, 0, 0}, {20, 20, 0, 0}, {10, 10, -2, -2}}};
    QString ThreeD = QStringLiteral("00000"); // key "3D"
    int Page = 0;

    // Section "Log".
    bool cbLog = false;
    QString LogFile; // default: <program folder>/log.txt
    bool TrimLog = false;
    int TrimLines = 1000;
    QString TrimTime; // "HH:mm", default: the time of day at start
    bool LogDays = true;
    bool LogSeconds = false;

    // Section "Capture".
    QString Capture; // default: <program folder>/Capture
    bool cbCapture = false;
    bool LostSync = false;
    bool OnClose = false;
    bool DeleteImages = false;
    int DeleteDays = 5;
    QTime DeleteTime; // default: the time of day at start

    // Section "Advanced".
    int LogTab = 8;
    QString ImagePrefix = QStringLiteral("Ltrv-");
    bool AddPrefix = true;
    bool Recycle = true;
    QString ImageDateFormat = QStringLiteral("yyyymmdd-hhmmss");
    QString LogDateFormat = QStringLiteral("ddd dd mmm yyyy  hh:mm:ss");
    int PauseDelay = 120;
    bool Monitor1 = false;
    QString HHAUrl;
    QString HHBUrl = QStringLiteral("/html/settings/a_adsl.html");
    QString WebFolder; // default: <program folder>/WebServer
    bool DateStamp = true;
    bool Restart = false;
    int RestartDays = 1;
    QDateTime RestartTime; // default: the date and time at start

    // Section "WebServer".
    bool Web = false;
    QString WebAddress; // key "Address" of section "WebServer"
    QString Port = QStringLiteral("8081");
    QString webWidth = QStringLiteral("500");
    QString webHeight = QStringLiteral("250");

    // Section "Drops", written only once there is something to keep: a digest of the damaged
    // drop-record lines last told to the user, so that the same ones are not told at every start.
    QString DropDamageTold;

    // Section "LT-Form": the main window's bounds.
    int Width = 850;
    int Height = 650;
    int Top = 187;
    int Left = 215;

    // The first-run values: folder-relative paths, the times of day taken from startTime, and
    // the window centred on a screen of that size (an empty size keeps Top 187 and Left 215).
    static Settings defaults(const QString& programFolder, const QDateTime& startTime,
                             QSize screenSize);

    // Reads the file over the current values (which should be the defaults); a missing file or
    // key keeps the value, a bad integer or time gives the default; Sample is clamped to 10..300.
    // Returns whether the file exists (false means a first run), even when it cannot be read.
    bool load(const QString& path);

    // Writes every key to the file, replacing it atomically with owner-only permissions. The
    // keys of a hand-edited file that this program does not know are kept. On failure the old
    // file stays and *error gets "Unable to write to " + path.
    [[nodiscard]] bool save(const QString& path, QString* error = nullptr) const;

    // An axis end as the file stores it: truncated toward zero (12.9 gives 12, -1.5 gives -1).
    static int truncateAxis(double value);

    bool operator==(const Settings&) const = default;
};
