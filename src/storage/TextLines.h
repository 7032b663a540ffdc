#pragma once
// Line-based text files as the program keeps them (CR LF line ends): whole-file reading, line
// splitting without copies, and atomic rewriting. Operations that can fail return false and put
// the failing file operation's message in *error when one is given.
#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <cstring>
#include <functional>
#include <vector>

class TrimBusy;

namespace TextLines {

// Reads the whole file into data. On failure data holds what was read before the error.
[[nodiscard]] bool readFile(const QString& path, QByteArray& data, QString* error = nullptr);

// Calls f(QByteArrayView line) for every line, without its LF or CR LF. A last line without a
// line end counts; the empty text after a final line end does not.
template <typename F> void forEachLine(QByteArrayView data, F&& f) {
    const char* p = data.data();
    const char* const end = p + data.size();
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* lineEnd = nl ? nl : end;
        const char* contentEnd = (nl && lineEnd > p && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd;
        f(QByteArrayView(p, contentEnd - p));
        p = nl ? nl + 1 : end;
    }
}

std::vector<QByteArrayView> splitLines(QByteArrayView data);

// Writes all bytes to a file opened Unbuffered, going on after short writes, so a full disk is
// reported instead of being lost in a buffer flush.
[[nodiscard]] bool writeAll(QIODevice& file, QByteArrayView bytes, QString* error = nullptr);

// Makes a file's name in its folder, after a create or a rename, last through a power cut: the
// file's own data is synced by whoever wrote it, its entry in the folder only by syncing the
// folder. A file system that cannot sync a folder is no failure.
[[nodiscard]] bool syncFolderOf(const QString& path, QString* error = nullptr);

// The lines, each ended by CR LF, replacing the file through a temporary file and a rename, so a
// failure leaves the old file whole; the rename is synced (syncFolderOf).
[[nodiscard]] bool writeFileAtomically(const QString& path, const QByteArrayView* lines,
                                       qsizetype count, QString* error = nullptr);

// A trim: reads the file's lines, lets select() drop the ones that go, and rewrites the file
// atomically with the rest, all while busy is set. A missing file is left alone (success). On
// failure the file stays as it was.
[[nodiscard]] bool
rewriteLines(const QString& path, TrimBusy& busy,
             const std::function<void(std::vector<QByteArrayView>& lines)>& select,
             QString* error = nullptr);

} // namespace TextLines
