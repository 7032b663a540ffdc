#include "storage/TextLines.h"

#include "storage/TrimBusy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace TextLines {

namespace {

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

bool readFile(const QString& path, QByteArray& data, QString* error) {
    data.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    // One read for the size the file reports, then on until the end in case it grew.
    qsizetype used = 0;
    qsizetype capacity = qMax<qsizetype>(file.size(), 0) + 1;
    data.resize(capacity);
    for (;;) {
        if (used == capacity) {
            capacity = capacity * 2;
            data.resize(capacity);
        }
        const qint64 got = file.read(data.data() + used, capacity - used);
        if (got < 0) {
            data.truncate(used);
            return fail(error, file.errorString());
        }
        if (got == 0)
            break;
        used += qsizetype(got);
    }
    data.truncate(used);
    return true;
}

std::vector<QByteArrayView> splitLines(QByteArrayView data) {
    std::vector<QByteArrayView> lines;
    // Data-restore lines run near 70 bytes; reserving avoids most regrowth on large files.
    lines.reserve(size_t(data.size() / 48 + 1));
    forEachLine(data, [&](QByteArrayView line) { lines.push_back(line); });
    return lines;
}

bool writeAll(QIODevice& file, QByteArrayView bytes, QString* error) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return fail(error, file.errorString());
        done += qsizetype(written);
    }
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArrayView* lines, qsizetype count,
                         QString* error) {
    qsizetype total = 0;
    for (qsizetype i = 0; i < count; ++i)
        total += lines[i].size() + 2;
    QByteArray out;
    out.reserve(total);
    for (qsizetype i = 0; i < count; ++i) {
        out.append(lines[i]);
        out.append("\r\n", 2);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    if (!writeAll(file, out, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return syncFolderOf(path, error);
}

bool syncFolderOf(const QString& path, QString* error) {
    const QString folder = QFileInfo(path).absolutePath();
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail(error, folder + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno)));
    const int synced = ::fsync(fd);
    const int e = errno;
    ::close(fd);
    if (synced != 0 && e != EINVAL && e != EROFS)
        return fail(error, folder + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(e)));
    return true;
}

bool rewriteLines(const QString& path, TrimBusy& busy,
                  const std::function<void(std::vector<QByteArrayView>& lines)>& select,
                  QString* error) {
    if (!QFileInfo::exists(path))
        return true;
    const TrimBusy::Guard guard(busy);
    QByteArray data;
    if (!readFile(path, data, error))
        return false;
    std::vector<QByteArrayView> lines = splitLines(data);
    select(lines);
    return writeFileAtomically(path, lines.data(), qsizetype(lines.size()), error);
}

} // namespace TextLines
