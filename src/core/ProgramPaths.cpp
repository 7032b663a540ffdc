#include "core/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramPaths {

QString programFolder() {
    const QString home = qEnvironmentVariable("LINTROVE_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable())
        return QDir::cleanPath(exeDir);
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = QDir::cleanPath(data + QStringLiteral("/lintrove5a"));
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
