#include "app/CommandLine.h"

#include "core/BuildInfo.h"

#include <QCoreApplication>
#include <cstring>

CommandLine::CommandLine()
    : screenshot(QStringLiteral("screenshot"),
                 QStringLiteral(
                     "Save a PNG of the main window after --screenshot-delay seconds, then end."),
                 QStringLiteral("file")),
      screenshotDelay(QStringLiteral("screenshot-delay"),
                      QStringLiteral("Seconds before the screenshot (default 20)."),
                      QStringLiteral("seconds"), QStringLiteral("20")),
      tab(QStringLiteral("tab"), QStringLiteral("Show the tab with this index at start."),
          QStringLiteral("index")) {
    parser.setApplicationDescription(QStringLiteral("Watches a BT Home Hub 5A broadband line."));
    parser.addHelpOption();
    parser.addVersionOption();
    // Answered in main() before anything else; listed here for the help text.
    parser.addOption(QCommandLineOption(
        QStringLiteral("ipconfig"),
        QStringLiteral("Print the default gateway as the setup's Find reads it, then end.")));
    parser.addOption(tab);
    parser.addOption(screenshot);
    parser.addOption(screenshotDelay);
}

void CommandLine::setApplicationNames() {
    QCoreApplication::setApplicationName(QStringLiteral("Lintrove 5A"));
    QCoreApplication::setApplicationVersion(BuildInfo::version());
}

bool CommandLine::asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* name : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], name) == 0)
                return true;
    return false;
}

void CommandLine::answerHelpOrVersion() {
    // Qt's own options (-platform, -style ...) are unknown to a plain QCoreApplication; they do
    // not stand in the way of these two answers, so the result of the parse is not an error here.
    (void)parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
}
