#pragma once
// One sample of the line as read from the router's statistics page: values, their texts as
// read, which label groups were present, and the router uptime.
#include <QString>
#include <QtGlobal>

struct LineSample {
    double NoiseMarginUp = 0, NoiseMarginDown = 0; // dB
    QString NoiseMarginUpText, NoiseMarginDownText;
    bool HasNoiseMargin = false;

    double DataRateUp = 0, DataRateDown = 0; // Kbps
    QString DataRateUpText, DataRateDownText, DataRateDownRawText;
    bool HasDataRate = false;

    double User1Up = 0, User1Down = 0;
    QString User1UpText, User1DownText;
    bool HasUser1 = false;

    double User2Up = 0, User2Down = 0;
    QString User2UpText, User2DownText;
    bool HasUser2 = false;

    QString UptimeDisplay; // toolbar form, "1 day, 01:01:02" or "3 days, 04:05:06"
    QString UptimeText;    // log form; kept when a page has no uptime

    // Whether the line had sync: a downstream rate from 100 Kbps and a noise margin above 0 dB.
    // A page without the statistics gives a sample of zeros, so it counts as without sync. The
    // lost-connection capture, the drop record and /metrics all use this one test.
    bool hasSync() const { return !(DataRateDown < 100.0 || NoiseMarginDown <= 0.0); }

    // Seconds of a "1 day, 01:01:02" or "3 days, 04:05:06" uptime text; -1 when the text is not
    // of that form.
    static qint64 uptimeSeconds(const QString& display);

    // Done at the start of every completed page: numbers 0, whole-Kbps texts empty.
    void reset() {
        NoiseMarginUp = NoiseMarginDown = DataRateUp = DataRateDown = 0;
        User1Up = User1Down = User2Up = User2Down = 0;
        DataRateUpText.clear();
        DataRateDownText.clear();
    }

    // A page without the statistics (no sync, an error page): every value 0 and every group
    // present, its logged texts "0", so the log row shows the outage like the graphs. The uptime
    // keeps its last value.
    void setZeroSample() {
        reset();
        const QString zero = QStringLiteral("0");
        NoiseMarginUpText = NoiseMarginDownText = zero;
        DataRateUpText = DataRateDownRawText = zero;
        User1UpText = User1DownText = User2UpText = User2DownText = zero;
        HasNoiseMargin = HasDataRate = HasUser1 = HasUser2 = true;
    }
};
