#include "storage/CsvLog.h"

#include "core/FormatDateTime.h"
#include "core/SizeText.h"
#include "storage/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

QString LogHeader(const QString& user1Text, const QString& user2Text) {
    return QStringLiteral("Date/Time, Uptime, Up SNR (dB), Down SNR (dB)") +
           QStringLiteral(", Up Sync (Kbps), Down Sync (Kbps)") + QStringLiteral(", Up ") +
           user1Text + QStringLiteral(", ") + QStringLiteral("Down ") + user1Text +
           QStringLiteral(", Up ") + user2Text + QStringLiteral(", ") + QStringLiteral("Down ") +
           user2Text;
}

QString PadLeft(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), QLatin1Char(' ')) + text;
}

QString LogCell(const QString& text) {
    QString cell = text;
    for (QChar& c : cell) {
        // U+2028 and U+2029 end a line in some editors, as CR and LF do everywhere.
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?$"));
    const QString trimmed = cell.trimmed();
    if (!trimmed.isEmpty() && QStringLiteral("=+-@").contains(trimmed.front()) &&
        !number.match(trimmed).hasMatch())
        cell.insert(cell.indexOf(trimmed.front()), u'\'');
    return cell;
}

QString LogLine(const QDateTime& sampleTime, const LineSample& s, const QString& dateFormat,
                int logTab) {
    // A group the page lacked keeps its columns, blank, so that every row has the header's ten
    // columns and no value slides under another title.
    const auto field = [logTab](bool present, const QString& text) {
        return PadLeft(present ? LogCell(text) : QString(), logTab);
    };
    const QStringList values = {
        field(s.HasNoiseMargin, s.NoiseMarginUpText),
        field(s.HasNoiseMargin, s.NoiseMarginDownText),
        field(s.HasDataRate, s.DataRateUpText),
        // Always there: "0" when the page had no rates, as the toolbar shows it.
        PadLeft(LogCell(s.DataRateDownRawText), logTab),
        field(s.HasUser1, s.User1UpText),
        field(s.HasUser1, s.User1DownText),
        field(s.HasUser2, s.User2UpText),
        field(s.HasUser2, s.User2DownText),
    };
    return LogCell(FormatDateTime(dateFormat, sampleTime)) + QStringLiteral(", ") +
           LogCell(s.UptimeText) + QLatin1Char(',') + values.join(QLatin1Char(','));
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
