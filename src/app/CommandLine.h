#pragma once
// The program's command-line options, and the early answer to --help and --version, which needs
// neither a display nor the browser engine nor the instance lock.
#include <QCommandLineOption>
#include <QCommandLineParser>

class CommandLine {
public:
    CommandLine();

    QCommandLineParser parser;
    const QCommandLineOption screenshot;
    const QCommandLineOption screenshotDelay;
    const QCommandLineOption tab;

    // The names --version and the help text print; set on whichever application object exists.
    static void setApplicationNames();
    // True when the arguments name the help or version option. main() then answers before the
    // QApplication exists: that one needs a display.
    static bool asksForHelpOrVersion(int argc, char** argv);
    // Prints the help text or the version and ends the program, when the arguments ask for one
    // of them; returns otherwise (the option was an option's value: "--tab --help"). Needs a
    // QCoreApplication.
    void answerHelpOrVersion();
};
