// Program entry: the application, the main window, and a clean end on SIGTERM, SIGINT and the
// desktop session's end.
#include "app/MainWindow.h"
#include "app/MessageBoxes.h"
#include "app/TerminationSignals.h"
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
#include "monitor/WebEngineBrowser.h"

#include <QApplication>
#include <QCommandLineParser>
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
    // Chromium refuses to run sandboxed as root.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fprintf(stderr,
                     "lintrove5a: running as root, the browser's sandbox is switched off\n");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    WebEngineBrowser::prepareEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lintrove 5A"));
    QApplication::setApplicationVersion(QStringLiteral(LINTROVE_VERSION));
    // The window may sit in the tray: an accepted close quits, not the last window going.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Watches a BT Home Hub 5A broadband line."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a PNG of the main window after --screenshot-delay seconds, then end."),
        QStringLiteral("file"));
    const QCommandLineOption delay(QStringLiteral("screenshot-delay"),
                                   QStringLiteral("Seconds before the screenshot (default 20)."),
                                   QStringLiteral("seconds"), QStringLiteral("20"));
    const QCommandLineOption tab(QStringLiteral("tab"),
                                 QStringLiteral("Show the tab with this index at start."),
                                 QStringLiteral("index"));
    parser.addOption(tab);
    parser.addOption(screenshot);
    parser.addOption(delay);
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
    const auto instanceLock = WaitForInstanceLock(ProgramPaths::programFolder());

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
    Restarter restarter(launcher, InstanceLauncher::sameProgram(ProgramPaths::programFolder()),
                        *restartRetry);
    int result = 0;
    {
        MainWindow window(
            {ProgramPaths::programFolder(),
             browser,
             clock,
             shell,
             messages,
             [timer](int ms, bool singleShot) { return timer(ms, singleShot, false); },
             {},
             &restarter,
             [timer](int ms) { return timer(ms, false, true); }});
        messages.setParent(&window);
        window.FormCreate();
        if (parser.isSet(tab))
            window.showPage(parser.value(tab).toInt());
        window.show();

        // Nobody is there to answer a question when the system asks the program to stop.
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                         [&](int) {
                             if (window.EndSession(false))
                                 app.quit();
                         });
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&](QSessionManager& manager) {
                             if (!window.EndSession(manager.allowsInteraction()))
                                 manager.cancel();
                         });

        if (parser.isSet(screenshot)) {
            const QString file = parser.value(screenshot);
            QTimer::singleShot(parser.value(delay).toInt() * 1000, &window, [&, file] {
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
    // may a new instance start.
    restarter.LaunchPending();
    return result;
}
