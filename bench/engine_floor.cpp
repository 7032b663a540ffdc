// What the embedded browser alone costs for one sample: our browser class, prepared as the
// program prepares it, loads one page every few seconds and reads its markup once, and nothing
// else runs. The CPU time of this process and its browser processes per load is the floor under
// the program's own cost per sample. Used by bench/engine_floor.sh.
//   engine_floor <url> [loads=10] [interval ms=10000] [--shown]
#include "monitor/WebEngineBrowser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <map>
#include <unistd.h>

namespace {

struct TreeCost {
    double cpuMs = 0;
    double pssMiB = 0;
    int processes = 0;
};

// CPU time (children already reaped included) and PSS of a process and all its descendants.
TreeCost treeCost(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& name : pids) {
        bool number = false;
        const pid_t pid = name.toInt(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue; // ended while we looked
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.emplace(pid_t(fields[1].toInt()), pid);
    }
    TreeCost cost;
    const double tickMs = 1000.0 / double(sysconf(_SC_CLK_TCK));
    std::vector<pid_t> todo{root};
    while (!todo.empty()) {
        const pid_t pid = todo.back();
        todo.pop_back();
        for (auto [it, end] = children.equal_range(pid); it != end; ++it)
            todo.push_back(it->second);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (f.size() < 15)
            continue;
        // utime, stime, cutime, cstime
        cost.cpuMs += double(f[11].toLongLong() + f[12].toLongLong() + f[13].toLongLong() +
                             f[14].toLongLong()) *
                      tickMs;
        ++cost.processes;
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.open(QIODevice::ReadOnly))
            for (const QByteArray& line : rollup.readAll().split('\n'))
                if (line.startsWith("Pss:"))
                    cost.pssMiB += line.mid(4).trimmed().split(' ').first().toDouble() / 1024;
    }
    return cost;
}

} // namespace

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
    TreeCost start;
    int failed = 0;
    QObject::connect(&browser, &Browser::documentComplete, &app, [&] {
        browser.readBodyHtml([&](std::optional<QString> markup) {
            if (!markup || !markup->contains(QLatin1String("Information for Helpdesk agents")))
                ++failed;
            browser.stop();
            ++done;
            if (done == kWarmUp) {
                start = treeCost(::getpid());
                failed = 0;
            }
            if (done == kWarmUp + loads) {
                const TreeCost end = treeCost(::getpid());
                std::printf("engine alone, %d loads %d ms apart (%s): %.1f ms CPU per load, "
                            "PSS %.1f MiB in %d processes; %d pages not the statistics page\n",
                            loads, intervalMs, shown ? "page shown" : "page hidden",
                            (end.cpuMs - start.cpuMs) / loads, end.pssMiB, end.processes, failed);
                app.exit(failed ? 1 : 0);
                return;
            }
            QTimer::singleShot(done < kWarmUp ? 0 : intervalMs, &app,
                               [&] { browser.navigate(url, true); });
        });
    });
    browser.navigate(url, true);
    return app.exec();
}
