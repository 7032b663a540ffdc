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

// Appends the line, creating the file when it is missing. Returns false when the line could not
// be written; the caller ignores that (the sample is then absent from the file).
bool Append(const QString& path, const QString& label, const LineSample& sample);

using RestoreCallback = std::function<void(const QString& label, const LineSample& sample)>;

// Reads the file and calls back once per line, oldest first, with the label as the graphs show it
// ("!" back to a carriage return, one blank appended) and the values; a missing or unreadable
// value repeats the previous line's (zero on the first line). Returns the I/O error text that
// ended the reading, empty when the whole file was read; lines read before an error are still
// delivered.
QString Restore(const QString& path, const RestoreCallback& callback);

// Lines kept by a trim: 86400 / sampleSeconds rounded, times days (never negative).
qint64 LinesToKeep(int sampleSeconds, int days);

// Keeps the newest LinesToKeep lines, rewriting the file atomically while busy is set. A missing
// file is left alone. Returns the failing file operation's message (the file then stays as it
// was), empty on success.
QString Trim(const QString& path, int sampleSeconds, int days, TrimBusy& busy);

} // namespace DataRestoreFile
