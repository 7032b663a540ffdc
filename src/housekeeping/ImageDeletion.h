#pragma once
// The daily deletion of old captured images: which files of the capture folder a pass removes,
// their age, and the move to the desktop's trash.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

struct Settings;

// Moves the file to the desktop's trash, from where it can be restored. Returns whether it moved.
bool RecycleFile(const QString& path);

// The file's last-modification time in local time, or the start of the date-time scale (30
// December 1899) when it cannot be read, so that such a file counts as older than any cut-off.
QDateTime GetFileDateTime(const QString& path);

// Whether a file name is one a deletion pass may take: it ends in ".jpg" and, when prefix is not
// empty, begins with it. Both are compared literally and case-sensitively, as the file system
// compares names.
bool IsDeletableImageName(const QString& name, const QString& prefix);

struct DeletionResult {
    QStringList removed; // paths trashed or deleted
    QStringList failed;  // paths that stayed because trashing or deleting failed
};

// One pass over the capture folder (Capture, resolved against programFolder as the captures
// resolve it): every regular file (hidden and read-only ones too;
// no folders, no symbolic links) whose name IsDeletableImageName with ImagePrefix when AddPrefix is
// on, and whose modification time is before now minus DeleteDays days, goes to the trash through
// recycle when Recycle is on, else is deleted for good. A file that fails stays (a failed move to
// the trash never falls back to deleting) and the pass goes on. An empty capture folder text or
// one that is not an existing folder does nothing.
DeletionResult DeleteFiles(const Settings& settings, const QString& programFolder,
                           const QDateTime& now,
                           const std::function<bool(const QString&)>& recycle = RecycleFile);
