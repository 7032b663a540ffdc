#include "core/SizeText.h"

#include "core/NumberText.h"

#include <QDirIterator>
#include <QFileInfo>

qint64 FolderSize(const QString& folder) {
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

qint64 FileSizeOf(const QString& file) {
    const QFileInfo info(file);
    return info.exists() && info.isFile() ? info.size() : -1;
}

QString FormatSize(qint64 n) {
    constexpr double kKB = 1024.0, kMB = 1048576.0, kGB = 1073741824.0;
    if (n == 0)
        return QStringLiteral("[no files]");
    if (n > qint64(kGB))
        return FormatHashes(n / kGB) + QStringLiteral(" GB");
    if (n > qint64(kMB))
        return FormatHashes(n / kMB) + QStringLiteral(" MB");
    if (n > qint64(kKB))
        return FormatHashes(n / kKB) + QStringLiteral(" KB");
    return FormatHashes(double(n)) + QStringLiteral(" bytes");
}
