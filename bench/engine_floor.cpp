// What the embedded browser alone costs for one sample: our browser class, prepared as the
// program prepares it, loads one page every few seconds and reads its markup once, and nothing
// else runs. bench/engine_floor.sh measures this process and its browser processes: the line
// "measuring" comes after three loads of settling, and the line "done <loads> <misread pages>"
// after the measured loads, after which the browser stays up until standard input ends.
//   engine_floor <url> [loads=10] [interval ms=10000] [--shown]
#include "monitor/WebEngineBrowser.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: engine_floor <url> [loads=10] [interval ms=10000] [--shown]\n");
        return 2;
    }
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // Chromium refuses a sandbox as root
    WebEngineBrowser::prepareEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QString url = QString::fromLocal8Bit(argv[1]);
    const int loads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const int intervalMs = argc > 3 ? std::max(0, std::atoi(argv[3])) : 10000;
    const bool shown = argc > 4 && std::strcmp(argv[4], "--shown") == 0;

    WebEngineBrowser browser;
    browser.setSilent(true);
    browser.widget()->resize(830, 500);
    if (shown)
        browser.widget()->show();
    browser.ensureWindow();

    // Three loads to settle, then the measured ones.
    constexpr int kWarmUp = 3;
    int done = 0;
    int misread = 0;
    QObject::connect(&browser, &Browser::documentComplete, &app, [&] {
        browser.readBodyHtml([&](std::optional<QString> markup) {
            if (!markup || !markup->contains(QLatin1String("Information for Helpdesk agents")))
                ++misread;
            browser.stop();
            ++done;
            if (done == kWarmUp) {
                misread = 0;
                std::printf("measuring\n");
                std::fflush(stdout);
            }
            if (done == kWarmUp + loads) {
                app.exit();
                return;
            }
            QTimer::singleShot(done < kWarmUp ? 0 : intervalMs, &app,
                               [&] { browser.navigate(url, true); });
        });
    });
    browser.navigate(url, true);
    app.exec();
    std::printf("done %d %d\n", loads, misread);
    std::fflush(stdout);
    // The browser's processes stay up to be measured until the caller lets go.
    while (std::getchar() != EOF) {
    }
    return misread ? 1 : 0;
}
