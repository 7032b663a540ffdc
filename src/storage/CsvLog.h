#pragma once
// The CSV line log: its header, the row of a sample, appending rows (with the header pair on a
// new file or after a user-graph change), the status-bar text and the daily trim.
#include "core/LineSample.h"
#include "storage/TrimBusy.h"

#include <QDateTime>
#include <QString>

// The header line for the quantities the two user-defined graphs show ("Max Data Rate", ...):
// ten titles, one per column of a row.
QString LogHeader(const QString& user1Text, const QString& user2Text);

// Blanks in front of the text up to width characters; a longer text stays whole.
QString PadLeft(const QString& text, int width);

// A text the router wrote, made fit for one field of a row: control characters (line ends
// included) become blanks, so that a value cannot end the row or forge another, and a text that
// a spreadsheet would take for a formula (starting with "=", "+", "-" or "@" without being a
// plain number) gets a "'" in front. Numbers come through unchanged.
QString LogCell(const QString& text);

// The row of a sample, without its line end: the sample time in dateFormat, the uptime, then the
// noise margins, the rates and the two user-graph pairs, each value padded to logTab. Always ten
// columns: a group the page lacked gives blank padded fields (the downstream rate is "0"). Every
// field goes through LogCell, so the row is one line whatever the page held.
QString LogLine(const QDateTime& sampleTime, const LineSample& sample, const QString& dateFormat,
                int logTab);

// Status-bar text of the log: file name without folder, ":   " and its size ("-1 bytes" when the
// file is missing).
QString LogStatusText(const QString& path);

// Keeps the header pair (the first two lines) and the newest trimLines lines, rewriting the file
// atomically while busy is set, also when nothing was removed. A missing file is left alone.
// Returns false, with the failing file operation's message in *error, when the trim failed; the
// file then stays as it was.
[[nodiscard]] bool TrimLog(const QString& path, int trimLines, TrimBusy& busy,
                           QString* error = nullptr);

// The log's header state and the row writer.
class CsvLog {
public:
    // The current header line; rebuilt when a user graph's choice is confirmed.
    QString Header = LogHeader(QStringLiteral("Max Data Rate"), QStringLiteral("Line Attenuation"));
    // Asks for the header pair before the next row (set when a user graph's choice changes).
    bool HeaderPending = false;

    // Appends the row, opening the file for appending or creating it. A new file, or a pending
    // header, gets the header and its dash underline first; the pending flag clears only once
    // they are written. Returns false, with the failing file operation's message in *error, when
    // the row was lost.
    [[nodiscard]] bool WriteRow(const QString& path, const QString& row, QString* error = nullptr);
};
