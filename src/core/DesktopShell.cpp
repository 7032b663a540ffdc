#include "core/DesktopShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>

bool DesktopShell::open(const QString& pathOrUrl) {
    return QDesktopServices::openUrl(urlFor(pathOrUrl));
}

bool DesktopShell::startNewInstance() {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

bool DesktopShell::moveToTrash(const QString& path) {
    return QFile::moveToTrash(path);
}

QString DesktopShell::chooseFolder(QWidget* parent, const QString& title, const QString& startPath,
                                   bool withEditBox) {
    Q_UNUSED(withEditBox);
    return QFileDialog::getExistingDirectory(parent, title, startPath, QFileDialog::ShowDirsOnly);
}

QString DesktopShell::openFailedText(const QString& pathOrUrl) {
    return QStringLiteral("Unable to open ") + pathOrUrl +
           QStringLiteral("\nThe desktop has no program set up to open it.");
}

QUrl DesktopShell::urlFor(const QString& pathOrUrl) {
    if (QDir::isAbsolutePath(pathOrUrl))
        return QUrl::fromLocalFile(pathOrUrl);
    // A colon alone may be part of a file name; only "scheme://" makes an address.
    const QUrl url(pathOrUrl, QUrl::StrictMode);
    if (pathOrUrl.contains(QLatin1String("://")) && url.isValid() && !url.scheme().isEmpty())
        return url;
    return QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
}
