#include "app/dialogs/ViewerFileActions.h"

#include "core/DesktopShell.h"
#include "core/UserMessages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

ViewerFileActions::ViewerFileActions(DesktopShell& shell, UserMessages& messages,
                                     std::function<bool(const QString&)> confirm)
    : shell_(shell), messages_(messages), confirm_(std::move(confirm)) {}

void ViewerFileActions::copy(const QStringList& paths) {
    clip_ = paths;
    clipIsCut_ = false;
}

void ViewerFileActions::cut(const QStringList& paths) {
    clip_ = paths;
    clipIsCut_ = true;
}

bool ViewerFileActions::copyEntry(const QString& from, const QString& to) {
    const QFileInfo info(from);
    if (!info.isDir())
        return QFile::copy(from, to);
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot))
        if (!copyEntry(entry.filePath(), QDir(to).filePath(entry.fileName())))
            return false;
    return true;
}

int ViewerFileActions::paste(const QString& folder) {
    int arrived = 0;
    QStringList stillClipped;
    for (const QString& from : std::as_const(clip_)) {
        const QFileInfo source(from);
        const QString to = QDir(folder).filePath(source.fileName());
        if (!source.exists()) {
            messages_.inform(QStringLiteral("Unable to find ") + from);
            continue;
        }
        if (QFileInfo(to).absoluteFilePath() == source.absoluteFilePath())
            continue; // pasting onto itself changes nothing
        const bool intoItself = source.isDir() && QFileInfo(to).absoluteFilePath().startsWith(
                                                      source.absoluteFilePath() + QLatin1Char('/'));
        if (intoItself) {
            messages_.inform(QStringLiteral("Unable to paste a folder into itself: ") + from);
            stillClipped << from;
            continue;
        }
        if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
            if (!confirm_(QStringLiteral("Replace \"") + source.fileName() +
                          QStringLiteral("\" in ") + folder + QStringLiteral("?"))) {
                stillClipped << from;
                continue;
            }
            // The old entry goes to the trash, so that even a replaced file can be recovered.
            if (!shell_.moveToTrash(to)) {
                messages_.inform(QStringLiteral("Unable to replace ") + to);
                stillClipped << from;
                continue;
            }
        }
        if (!copyEntry(from, to)) {
            messages_.inform(QStringLiteral("Unable to paste ") + source.fileName() +
                             QStringLiteral(" into ") + folder);
            stillClipped << from;
            continue;
        }
        ++arrived;
        // The original of a cut entry goes only now that its copy is complete.
        if (clipIsCut_) {
            const bool removed =
                source.isDir() ? QDir(from).removeRecursively() : QFile::remove(from);
            if (!removed)
                messages_.inform(QStringLiteral("Copied, but unable to remove ") + from);
        }
    }
    clip_ = clipIsCut_ ? stillClipped : clip_;
    return arrived;
}

bool ViewerFileActions::remove(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return false;
    if (!confirm_(QStringLiteral("Move \"") + info.fileName() + QStringLiteral("\" to the trash?")))
        return false;
    if (!shell_.moveToTrash(path)) {
        messages_.inform(QStringLiteral("Unable to move ") + path +
                         QStringLiteral(" to the trash. Nothing was deleted."));
        return false;
    }
    return true;
}

bool ViewerFileActions::rename(const QString& path, const QString& newName) {
    const QFileInfo info(path);
    if (newName.isEmpty() || newName == info.fileName())
        return false;
    if (newName.contains(QLatin1Char('/')) || newName.contains(QChar(0)) ||
        newName == QLatin1String(".") || newName == QLatin1String("..")) {
        messages_.inform(QStringLiteral("Not a valid name: ") + newName);
        return false;
    }
    const QString to = info.dir().filePath(newName);
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        if (!confirm_(QStringLiteral("Replace \"") + newName + QStringLiteral("\"?")))
            return false;
        if (!shell_.moveToTrash(to)) {
            messages_.inform(QStringLiteral("Unable to replace ") + to);
            return false;
        }
    }
    if (!QFile::rename(path, to)) {
        messages_.inform(QStringLiteral("Unable to rename ") + path);
        return false;
    }
    return true;
}

QString ViewerFileActions::newFolder(const QString& folder) {
    const QDir dir(folder);
    QString name = QStringLiteral("New Folder");
    for (int n = 2; dir.exists(name); ++n)
        name = QStringLiteral("New Folder %1").arg(n);
    if (!dir.mkdir(name)) {
        messages_.inform(QStringLiteral("Unable to create a folder in ") + folder);
        return {};
    }
    return dir.filePath(name);
}
