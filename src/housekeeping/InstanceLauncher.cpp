#include "housekeeping/InstanceLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

InstanceLauncher::Request InstanceLauncher::sameProgram(const QString& programFolder) {
    Request r;
    r.program = QCoreApplication::applicationFilePath();
    r.workingFolder = QDir::currentPath();
    r.environment = QProcessEnvironment::systemEnvironment();
    r.environment.insert(QStringLiteral("LINTROVE_HOME"), programFolder);
    return r;
}

bool InstanceLauncher::start(const Request& request) {
    QProcess process;
    process.setProgram(request.program);
    process.setArguments(request.arguments);
    process.setWorkingDirectory(request.workingFolder);
    process.setProcessEnvironment(request.environment);
    return process.startDetached();
}
