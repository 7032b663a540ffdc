#include "core/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ProgramPaths {

QString resolveFolder(const QString& text, const QString& programFolder) {
    if (text.isEmpty())
        return {};
    if (QDir::isAbsolutePath(text))
        return QDir::cleanPath(text);
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(text));
}

QString installedHelpFile(const QString& executableFolder) {
    if (executableFolder.isEmpty())
        return {};
    const QString path = QDir::cleanPath(
        executableFolder + QStringLiteral("/" LINTROVE_DOC_FROM_BIN "/lintrove5a.html"));
    return QFileInfo(path).isFile() ? path : QString();
}

QString installedHelpFile() {
    return installedHelpFile(QCoreApplication::applicationDirPath());
}

QString userDataFolder(const QString& xdgDataHome, const QString& homeFolder) {
    const QString data = QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : homeFolder + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/lintrove5a"));
}

QString programFolder(const Environment& environment) {
    if (!environment.lintroveHome.isEmpty())
        return QDir::cleanPath(QDir(environment.lintroveHome).absolutePath());
    const QString& exeDir = environment.executableFolder;
    if (!exeDir.isEmpty() && installedHelpFile(exeDir).isEmpty() && QFileInfo(exeDir).isWritable())
        return QDir::cleanPath(exeDir);
    return userDataFolder(environment.xdgDataHome, environment.homeFolder);
}

QString programFolder() {
    const Environment environment{qEnvironmentVariable("LINTROVE_HOME"),
                                  QCoreApplication::applicationDirPath(),
                                  qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()};
    const QString folder = programFolder(environment);
    if (environment.lintroveHome.isEmpty() &&
        folder != QDir::cleanPath(environment.executableFolder))
        QDir().mkpath(folder);
    return folder;
}

QString inFolder(const QString& name) {
    return programFolder() + QLatin1Char('/') + name;
}
QString settingsFile(const QString& folder) {
    return folder + QStringLiteral("/lintrove5a.ini");
}
QString helpFile(const QString& folder) {
    return folder + QStringLiteral("/lintrove5a.html");
}
QString settingsFile() {
    return settingsFile(programFolder());
}
QString helpFile() {
    return helpFile(programFolder());
}

} // namespace ProgramPaths
