#pragma once
// Size texts for the status bar: a folder's total size, a file's size, and their display.
#include <QString>

// Sum of the sizes of all files below the folder, at any depth (hidden files included).
qint64 FolderSize(const QString& folder);
// Size of the file, or -1 when it cannot be found.
qint64 FileSizeOf(const QString& file);
// "[no files]", "700 bytes", "1.5 KB", "1 MB", "1.5 GB" (locale decimal separator).
QString FormatSize(qint64 bytes);
