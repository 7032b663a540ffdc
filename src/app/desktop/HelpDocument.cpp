#include "app/desktop/HelpDocument.h"

#include "core/DesktopShell.h"
#include "core/ProgramPaths.h"

#include <QFile>
#include <QFileInfo>

HelpDocument::HelpDocument(QString programFolder, QString installedFile)
    : programFolder_(std::move(programFolder)), installedFile_(std::move(installedFile)) {}

QString HelpDocument::path() const {
    return installedFile_.isEmpty() ? ProgramPaths::helpFile(programFolder_) : installedFile_;
}

void HelpDocument::writeCopy() {
    if (!installedFile_.isEmpty())
        return;
    const QString file = path();
    if (QFileInfo::exists(file))
        QFile::remove(file);
    if (QFileInfo::exists(file))
        return;
    QFile resource(QStringLiteral(":/MYUSERDATA"));
    QFile out(file);
    if (resource.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(resource.readAll());
    // A folder that cannot be written leaves no help document; "Help..." then does nothing.
}

void HelpDocument::removeCopy() {
    if (installedFile_.isEmpty())
        QFile::remove(path());
}

void HelpDocument::open(DesktopShell& shell, QObject* context,
                        std::function<void(const QString& file)> ownViewer) const {
    const QString file = path();
    if (!QFileInfo::exists(file))
        return;
    shell.openWatched(file, context, [file, ownViewer = std::move(ownViewer)] { ownViewer(file); });
}
