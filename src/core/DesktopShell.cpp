#include "core/DesktopShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

bool DesktopShell::open(const QString& pathOrUrl) {
    return QDesktopServices::openUrl(urlFor(pathOrUrl));
}

void DesktopShell::openWatched(const QString& pathOrUrl, QObject* context,
                               std::function<void()> failed) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        // Qt may still find a browser of its own to hand the document to.
        if (!open(pathOrUrl))
            failed();
        return;
    }
    // Not detached: only a child we wait for tells its exit status. xdg-open may run the viewer
    // itself and last as long as it; the process is then left running when this program ends.
    auto* process = new QProcess;
    process->setProgram(xdgOpen);
    process->setArguments({urlFor(pathOrUrl).toString(QUrl::FullyEncoded)});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    // A process that never started is not reported as finished, nor a finished one as failing
    // to start: one report at most.
    auto report = [failed = std::move(failed), guard = QPointer<QObject>(context)] {
        if (guard)
            failed();
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, report](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             report();
                             process->deleteLater();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             report();
                         process->deleteLater();
                     });
    process->start();
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
