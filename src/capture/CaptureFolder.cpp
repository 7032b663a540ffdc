#include "capture/CaptureFolder.h"

#include "core/DesktopShell.h"
#include "core/ProgramPaths.h"
#include "core/SizeText.h"

#include <QDir>
#include <QFileInfo>

QString CaptureFolder::resolve(const QString& text, const QString& programFolder) {
    return ProgramPaths::resolveFolder(text, programFolder);
}

bool CaptureFolder::exists(const QString& text, const QString& programFolder) {
    const QString folder = resolve(text, programFolder);
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

QString CaptureFolder::withoutTrailingSeparator(const QString& text) {
    if (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        return text.chopped(1);
    return text;
}

QString CaptureFolder::GetFolder(DesktopShell& shell, QWidget* parent, const QString& current,
                                 const QString& programFolder) {
    const QString start = resolve(current, programFolder);
    const QString chosen = shell.chooseFolder(parent, QStringLiteral("Select folder"),
                                              start.isEmpty() ? programFolder : start, true);
    return chosen.isEmpty() ? current : QDir::toNativeSeparators(chosen);
}

QString CaptureFolder::statusText(const QString& text, const QString& programFolder) {
    if (!exists(text, programFolder))
        return {};
    return QStringLiteral("Capture folder:  ") +
           FormatSize(FolderSize(resolve(text, programFolder)));
}
