#pragma once
// The drop record file "Lintrove5A-drops.csv": a header line, then one comma-separated line per
// ended event, oldest first, CR LF line ends. Lines are only ever appended; a trim is the one
// rewrite. A line that cannot be read (a damaged or partial one) is skipped with a message and
// stays in the file.
#include "drops/DropEvent.h"
#include "storage/TrimBusy.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace DropRecordFile {

// "Lintrove5A-drops.csv" in the folder (the data-restore file's folder).
QString PathIn(const QString& folder);

// The header line, without its line end.
QByteArray Header();
// The earlier version's header: the same columns up to the images, none after them.
QByteArray EarlierHeader();
// An event's line, without its line end.
QByteArray Line(const DropEvent& event);
// The event of a line; false when the line is not one.
bool ParseLine(QByteArrayView line, DropEvent& event);
// A time as the file keeps it: local time with its offset, "2026-12-08T14:23:05+01:00".
QString TimeText(const QDateTime& time);

// The header and the events' lines, as a whole file (also the CSV export).
QByteArray Csv(const std::vector<DropEvent>& events);

struct Contents {
    std::vector<DropEvent> events;
    QStringList skipped; // one message per line that was skipped
};
// Reads the record; a missing file is an empty record. False, with the reason in *error, when
// the file exists but could not be read.
[[nodiscard]] bool Read(const QString& path, Contents& contents, QString* error = nullptr);

// Appends the event's line and flushes it, writing the header first into a new or empty file. A
// partial last line is ended first, so the new line stays whole. False with the failing file
// operation's message in *error when the line could not be written.
[[nodiscard]] bool Append(const QString& path, const DropEvent& event, QString* error = nullptr);
// Writes a whole record for the first time: the header and the events. Refuses (false) when the
// file already exists, so a record is never replaced.
[[nodiscard]] bool Create(const QString& path, const std::vector<DropEvent>& events,
                          QString* error = nullptr);

// A record begun by the earlier version gets this version's header, so the columns added after
// the images have names; its lines stay as they are. Atomic, while busy is set; upgraded says
// whether it was needed.
[[nodiscard]] bool UpgradeHeader(const QString& path, TrimBusy& busy, bool& upgraded,
                                 QString* error = nullptr);

// Keeps the events that ended at or after cutOff, the header and every line that cannot be read;
// rewrites the file atomically while busy is set. A missing file is left alone.
[[nodiscard]] bool Trim(const QString& path, const QDateTime& cutOff, TrimBusy& busy,
                        QString* error = nullptr);

} // namespace DropRecordFile
