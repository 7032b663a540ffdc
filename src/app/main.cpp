// Program entry: the application, the main window, and a clean end on SIGTERM, SIGINT and the
// desktop session's end.
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "app/dialogs/MessageBoxes.h"
#include "core/Clock.h"
#include "core/DefaultGateway.h"
#include "core/DesktopShell.h"
#include "core/ProgramPaths.h"
#include "core/ScaledClock.h"
#include "core/ScaledTimer.h"
#include "core/TimeScale.h"
#include "core/Timer.h"
#include "housekeeping/InstanceLauncher.h"
#include "housekeeping/InstanceLock.h"
#include "housekeeping/Restarter.h"
#include "housekeeping/SingleInstance.h"
#include "monitor/WebEngineBrowser.h"
#include "testcontrol/TestControl.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QTabWidget>
#include <QTimer>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    // The setup wizard's Find starts this program to read the default gateway: nothing else
    // (browser engine, settings, windows) may start for it.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--ipconfig") == 0)
            return DefaultGateway::runIpconfig(stdout);
    // Answered before anything that needs a display, the browser engine or the instance lock.
    if (CommandLine::asksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        CommandLine::setApplicationNames();
        CommandLine().answerHelpOrVersion();
    }
    // Chromium refuses to run sandboxed as root.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fprintf(stderr,
                     "lintrove5a: running as root, the browser's sandbox is switched off\n");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    WebEngineBrowser::prepareEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    CommandLine::setApplicationNames();
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("lintrove5a"));
    // The window may sit in the tray: an accepted close quits, not the last window going.
    QApplication::setQuitOnLastWindowClosed(false);

    CommandLine commandLine;
    QCommandLineParser& parser = commandLine.parser;
    parser.process(app);

    // Fast time for the end-to-end tests and soak runs only.
    QString timeScaleError;
    const std::optional<TimeScale> timeScale = TimeScale::fromEnvironment(&timeScaleError);
    if (!timeScaleError.isEmpty()) {
        std::fprintf(stderr, "lintrove5a: %s\n", qPrintable(timeScaleError));
        return 2;
    }
    if (timeScale)
        std::fprintf(stderr, "lintrove5a: time runs %g times as fast (%s)\n", timeScale->scale(),
                     TimeScale::EnvironmentName);
    auto timer = [timeScale](int ms, bool singleShot, bool precise) -> std::unique_ptr<Timer> {
        auto real = makeQtTimer(ms, singleShot, precise);
        if (!timeScale)
            return real;
        return std::make_unique<ScaledTimer>(std::move(real), *timeScale);
    };

    // Installed before the window exists, so that a signal during start-up waits for the event
    // loop instead of killing the program half-way through writing its files.
    TerminationSignals termination;

    // Before any file is opened: a restarted instance waits here until the instance it replaces
    // has let go of its files. Released last, when main() returns.
    const QString programFolder = ProgramPaths::programFolder();
    // One instance per program folder: a second launch hands its arguments to the running one,
    // which comes forward, and ends here. A restarted instance finds nobody answering (the old
    // one stops listening before it starts the new one) and waits for the lock instead.
    SingleInstance singleInstance(programFolder, SingleInstance::runtimeFolderFromEnvironment());
    if (singleInstance.handOver(QCoreApplication::arguments().mid(1))) {
        std::fprintf(stderr, "lintrove5a: brought forward the instance already running in %s\n",
                     qPrintable(QDir::toNativeSeparators(programFolder)));
        return 0;
    }
    const auto instanceLock = WaitForInstanceLock(programFolder);

    // The platform pieces the window works with; they outlive it.
    WebEngineBrowser browser;
    DesktopShell shell;
    MessageBoxes messages(nullptr);
    SystemClock systemClock;
    std::optional<ScaledClock> scaledClock;
    if (timeScale)
        scaledClock.emplace(*timeScale);
    const Clock& clock = scaledClock ? static_cast<const Clock&>(*scaledClock) : systemClock;
    InstanceLauncher launcher;
    const std::unique_ptr<Timer> restartRetry = timer(1000, false, false);
    Restarter restarter(launcher, InstanceLauncher::sameProgram(programFolder), *restartRetry);
    int result = 0;
    {
        MainWindow window(
            {programFolder,
             browser,
             clock,
             shell,
             messages,
             [timer](int ms, bool singleShot) { return timer(ms, singleShot, false); },
             {},
             &restarter,
             [timer](int ms) { return timer(ms, false, true); },
             ProgramPaths::installedHelpFile()});
        messages.setParent(&window);
        // Nobody is there to answer a question when the system asks the program to stop. A
        // signal that arrives while the window is still being set up (the browser engine runs
        // the event loop then) is kept and acted on once it is up, never dropped.
        bool windowUp = false, endPending = false;
        const auto endNow = [&] {
            if (window.EndSession(false))
                app.quit();
        };
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                         [&](int) {
                             if (windowUp)
                                 endNow();
                             else
                                 endPending = true;
                         });
        window.FormCreate();
        if (parser.isSet(commandLine.tab))
            window.showPage(parser.value(commandLine.tab).toInt());
        window.show();
        windowUp = true;
        // Only the holder of the lock answers later launches; one that started beside a running
        // instance leaves that instance its socket.
        if (instanceLock->isLocked()) {
            QString why;
            if (!singleInstance.listen(&why))
                std::fprintf(stderr, "lintrove5a: a second launch cannot reach this one: %s\n",
                             qPrintable(why));
        }
        QObject::connect(
            &singleInstance, &SingleInstance::activationRequested, &window,
            [&window](const QStringList& arguments) {
                CommandLine later;
                if (later.parser.parse(QStringList{QStringLiteral("lintrove5a")} + arguments) &&
                    later.parser.isSet(later.tab))
                    window.showPage(later.parser.value(later.tab).toInt());
                window.bringForward();
            });
        if (endPending)
            QTimer::singleShot(0, &window, endNow);

        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&](QSessionManager& manager) {
                             if (!window.EndSession(manager.allowsInteraction()))
                                 manager.cancel();
                         });

        // End-to-end tests act as the user through a socket they name; nothing listens otherwise.
        std::unique_ptr<TestControl> testControl;
        const QString controlPath = qEnvironmentVariable(TestControl::EnvironmentName);
        if (!controlPath.isEmpty()) {
            testControl = std::make_unique<TestControl>();
            QString why;
            if (!testControl->listen(controlPath, &why)) {
                std::fprintf(stderr, "lintrove5a: %s %s: %s\n", TestControl::EnvironmentName,
                             qPrintable(controlPath), qPrintable(why));
                return 2;
            }
        }

        if (parser.isSet(commandLine.screenshot)) {
            const QString file = parser.value(commandLine.screenshot);
            QTimer::singleShot(
                parser.value(commandLine.screenshotDelay).toInt() * 1000, &window, [&, file] {
                    const bool saved = window.grab().save(file, "PNG");
                    std::fprintf(stderr, "lintrove5a: screenshot %s %s\n", qPrintable(file),
                                 saved ? "saved" : "could not be saved");
                    window.EndSession(false);
                    app.exit(saved ? 0 : 1);
                });
        }
        result = app.exec();
        messages.setParent(nullptr);
    }
    // The window is gone and with it the data file, the log and the web server's port: only now
    // may a new instance start, and it must take the lock rather than hand over to this one.
    singleInstance.close();
    restarter.LaunchPending();
    return result;
}
