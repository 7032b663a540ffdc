#pragma once
// The graph data-restore file: one comma-separated line per plotted sample (label and the eight
// plotted values), appended while running, read back at start and trimmed to a number of days.
#include "core/LineSample.h"
#include "storage/TrimBusy.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace DataRestoreFile {

// "Lintrove5A.txt" in the folder.
QString PathIn(const QString& folder);

// A value as the file keeps it: plain decimal notation, "." as separator, at least one decimal,
// and as many as it takes to read back the same double (16000 -> "16000.0", 12.34 -> "12.34").
QByteArray FormatValue(double value);

// The line of a sample, without its line end: the point label with its first carriage return as
// "!" and the blanks around it removed, then NoiseMarginUp, NoiseMarginDown, DataRateUp,
// DataRateDown, User1Up, User1Down, User2Up, User2Down.
QByteArray Line(const QString& label, const LineSample& sample);

// Appends the line, creating the file when it is missing. Returns false, with the failing file
// operation's message in *error, when the line could not be written.
[[nodiscard]] bool Append(const QString& path, const QString& label, const LineSample& sample,
                          QString* error = nullptr);

using RestoreCallback = std::function<void(const QString& label, const LineSample& sample)>;

// Reads the file and calls back once per line, oldest first, with the label as the graphs show it
// ("!" back to a carriage return, one blank appended) and the values; a missing or unreadable
// value repeats the previous line's (zero on the first line). Returns false, with the I/O error
// that ended the reading in *error, when the file could not be read to its end; lines read before
// the error are still delivered.
[[nodiscard]] bool Restore(const QString& path, const RestoreCallback& callback,
                           QString* error = nullptr);

// Lines kept by a trim: 86400 / sampleSeconds rounded, times days (never negative).
qint64 LinesToKeep(int sampleSeconds, int days);

// Keeps the newest LinesToKeep lines, rewriting the file atomically while busy is set. A missing
// file is left alone. Returns false, with the failing file operation's message in *error, when
// the trim failed; the file then stays as it was.
[[nodiscard]] bool Trim(const QString& path, int sampleSeconds, int days, TrimBusy& busy,
                        QString* error = nullptr);

} // namespace DataRestoreFile
