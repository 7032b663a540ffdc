#pragma once
// Starts a new instance of this program, detached, so that it outlives this one: the same
// executable, environment, working folder and program folder, no arguments.
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class InstanceLauncher {
public:
    struct Request {
        QString program;
        QStringList arguments;
        QString workingFolder;
        QProcessEnvironment environment;
    };

    virtual ~InstanceLauncher() = default;

    // This process's executable with its working folder and environment, LINTROVE_HOME pinned to
    // programFolder so that the new instance finds the same settings and data whatever way this
    // one found its folder.
    static Request sameProgram(const QString& programFolder);

    // Starts the request detached. Returns whether the process started.
    virtual bool start(const Request& request);
};
