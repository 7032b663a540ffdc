#include "storage/TextLines.h"

#include "storage/TrimBusy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace TextLines {

QString readFile(const QString& path, QByteArray& data) {
    data.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
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
            return file.errorString();
        }
        if (got == 0)
            break;
        used += qsizetype(got);
    }
    data.truncate(used);
    return {};
}

std::vector<QByteArrayView> splitLines(QByteArrayView data) {
    std::vector<QByteArrayView> lines;
    // Data-restore lines run near 70 bytes; reserving avoids most regrowth on large files.
    lines.reserve(size_t(data.size() / 48 + 1));
    forEachLine(data, [&](QByteArrayView line) { lines.push_back(line); });
    return lines;
}

QString writeAll(QIODevice& file, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return file.errorString();
        done += qsizetype(written);
    }
    return {};
}

QString writeFileAtomically(const QString& path, const QByteArrayView* lines, qsizetype count) {
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
        return file.errorString();
    if (QString error = writeAll(file, out); !error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString rewriteLines(const QString& path, TrimBusy& busy,
                     const std::function<void(std::vector<QByteArrayView>& lines)>& select) {
    if (!QFileInfo::exists(path))
        return {};
    const TrimBusy::Guard guard(busy);
    QByteArray data;
    if (QString error = readFile(path, data); !error.isEmpty())
        return error;
    std::vector<QByteArrayView> lines = splitLines(data);
    select(lines);
    return writeFileAtomically(path, lines.data(), qsizetype(lines.size()));
}

} // namespace TextLines
