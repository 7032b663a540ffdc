#include "storage/CsvLog.h"

#include "core/FormatDateTime.h"
#include "core/SizeText.h"
#include "storage/TextLines.h"

#include <QFile>
#include <QFileInfo>

QString LogHeader(const QString& user1Text, const QString& user2Text) {
    return QStringLiteral(
               "Date/Time, Up SNR (dB), Down SNR (dB), Up Sync (Kbps), Down Sync (Kbps)") +
           QStringLiteral(", Up ") + user1Text + QStringLiteral(", ") + QStringLiteral("Down ") +
           user1Text + QStringLiteral(", Up ") + user2Text + QStringLiteral(", ") +
           QStringLiteral("Down ") + user2Text;
}

QString PadLeft(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), QLatin1Char(' ')) + text;
}

QString LogLine(const QDateTime& sampleTime, const LineSample& s, const QString& dateFormat,
                int logTab) {
    const QLatin1Char comma(',');
    QString row =
        FormatDateTime(dateFormat, sampleTime) + QStringLiteral(", ") + s.UptimeText + comma;
    if (s.HasNoiseMargin)
        row += PadLeft(s.NoiseMarginUpText, logTab) + comma +
               PadLeft(s.NoiseMarginDownText, logTab) + comma;
    if (s.HasDataRate)
        row += PadLeft(s.DataRateUpText, logTab) + comma;
    row += PadLeft(s.DataRateDownRawText, logTab);
    if (s.HasUser1)
        row += comma + PadLeft(s.User1UpText, logTab) + comma + PadLeft(s.User1DownText, logTab);
    if (s.HasUser2)
        row += comma + PadLeft(s.User2UpText, logTab) + comma + PadLeft(s.User2DownText, logTab);
    return row;
}

QString LogStatusText(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(":   ") + FormatSize(FileSizeOf(path));
}

bool TrimLog(const QString& path, int trimLines, TrimBusy& busy, QString* error) {
    return TextLines::rewriteLines(
        path, busy,
        [trimLines](std::vector<QByteArrayView>& lines) {
            // Lines 2..n go, n = count - trimLines - 1, leaving the header pair and the newest
            // trimLines.
            const qint64 n =
                qMin<qint64>(qint64(lines.size()) - trimLines - 1, qint64(lines.size()) - 1);
            if (n >= 2)
                lines.erase(lines.begin() + 2, lines.begin() + n + 1);
        },
        error);
}

bool CsvLog::WriteRow(const QString& path, const QString& row, QString* error) {
    QFile file(path);
    const bool isNew = !file.exists();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (isNew || HeaderPending) {
        const QByteArray header = Header.toUtf8();
        const QByteArray pair = header + "\r\n" + QByteArray(Header.size(), '-') + "\r\n";
        if (!TextLines::writeAll(file, pair, error))
            return false;
        HeaderPending = false;
    }
    return TextLines::writeAll(file, row.toUtf8() + "\r\n", error);
}
