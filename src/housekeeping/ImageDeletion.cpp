#include "housekeeping/ImageDeletion.h"

#include "core/ProgramPaths.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool RecycleFile(const QString& path) {
    return QFile::moveToTrash(path);
}

QDateTime GetFileDateTime(const QString& path) {
    const QDateTime t = QFileInfo(path).lastModified();
    return t.isValid() ? t.toLocalTime() : QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

bool IsDeletableImageName(const QString& name, const QString& prefix) {
    return name.endsWith(QLatin1String(".jpg"), Qt::CaseSensitive) &&
           name.startsWith(prefix, Qt::CaseSensitive) && name.size() >= prefix.size() + 4;
}

DeletionResult DeleteFiles(const Settings& settings, const QString& programFolder,
                           const QDateTime& now,
                           const std::function<bool(const QString&)>& recycle) {
    DeletionResult result;
    // The folder the captures are written to: a relative text read against the working folder
    // would leave the old images and delete another folder's files.
    const QString folder = ProgramPaths::resolveFolder(settings.Capture, programFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return result;
    const QDateTime cutOff = now.addDays(-qint64(settings.DeleteDays));
    const QString prefix = settings.AddPrefix ? settings.ImagePrefix : QString();
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile() || !IsDeletableImageName(entry.fileName(), prefix))
            continue;
        const QString path = entry.absoluteFilePath();
        if (!(GetFileDateTime(path) < cutOff))
            continue;
        const bool gone = settings.Recycle ? recycle(path) : QFile::remove(path);
        (gone ? result.removed : result.failed) << path;
    }
    return result;
}
