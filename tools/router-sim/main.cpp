// router-sim: a stand-in for the router's web interface on 127.0.0.1, for the demo and the
// end-to-end tests.
#include "HttpServer.h"
#include "RouterSimulator.h"

#include <QStringList>
#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {

const char* const kUsage =
    "usage: router-sim --port N --password P [--no-sync] [--missing-labels] [--firmware]\n"
    "                  [--mbps] [--quirk] [--garbage] [--empty] [--drift-seed S]\n"
    "                  [--drop-every N] [--slow MS] [--down] [--record FILE]\n"
    "                  [--time-scale S]\n"
    "Serves the router's login and statistics pages on 127.0.0.1:N (0 picks a free port).\n"
    "GET /sim/state shows the values last served and those of the recent statistics pages;\n"
    "GET /sim/set?nosync=1&... changes the switches (nosync, garbage, empty, missing,\n"
    "firmware, mbps, quirk, dropevery, password, logout, slow=MS: every page answered MS\n"
    "later, down=1: every page request dropped unanswered; once, at the next statistics page:\n"
    "retrain=1 new sync rates, restart=1 new rates and the uptime from 0). --record appends a\n"
    "line per page\n"
    "answered: time in ms, kind, and for a statistics page synced and the values shown.\n"
    "--time-scale S: the router's uptime runs S times as fast, as the program's clock does under\n"
    "LINTROVE_TIME_SCALE, so that a fast run does not look like a restart.\n";

int usageError(const QString& message) {
    std::fprintf(stderr, "router-sim: %s\n%s", qPrintable(message), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    int port = -1;
    bool hasPassword = false;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        auto number = [&](long long low, long long high, long long& out) {
            QString text;
            if (!value(text))
                return false;
            bool ok = false;
            out = text.toLongLong(&ok);
            return ok && out >= low && out <= high;
        };
        long long n = 0;
        if (a == u"--help" || a == u"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == u"--port") {
            if (!number(0, 65535, n))
                return usageError(QStringLiteral("--port needs a number from 0 to 65535"));
            port = static_cast<int>(n);
        } else if (a == u"--password") {
            if (!value(options.password))
                return usageError(QStringLiteral("--password needs a value"));
            hasPassword = true;
        } else if (a == u"--drift-seed") {
            if (!number(0, 0xffffffffLL, n))
                return usageError(QStringLiteral("--drift-seed needs a number"));
            options.seed = static_cast<std::uint32_t>(n);
        } else if (a == u"--drop-every") {
            if (!number(0, 1000000, n) || (n > 0 && n < 3))
                return usageError(QStringLiteral("--drop-every needs 0 or a number from 3"));
            options.dropEvery = static_cast<int>(n);
        } else if (a == u"--slow") {
            if (!number(0, 600000, n))
                return usageError(QStringLiteral("--slow needs a number of milliseconds"));
            options.slowMs = static_cast<int>(n);
        } else if (a == u"--time-scale") {
            if (!number(1, 10000, n))
                return usageError(QStringLiteral("--time-scale needs a number from 1 to 10000"));
            options.timeScale = static_cast<int>(n);
        } else if (a == u"--down") {
            options.down = true;
        } else if (a == u"--record") {
            if (!value(options.recordPath))
                return usageError(QStringLiteral("--record needs a file"));
        } else if (a == u"--no-sync") {
            options.noSync = true;
        } else if (a == u"--missing-labels") {
            options.style.missingLabels = true;
        } else if (a == u"--firmware") {
            options.style.firmware = true;
        } else if (a == u"--mbps") {
            options.style.mbps = true;
        } else if (a == u"--quirk") {
            options.style.quirk = true;
        } else if (a == u"--garbage") {
            options.garbage = true;
        } else if (a == u"--empty") {
            options.empty = true;
        } else {
            return usageError(QStringLiteral("unknown argument ") + a);
        }
    }
    if (port < 0 || !hasPassword)
        return usageError(QStringLiteral("--port and --password are required"));

    // The daemon's threads inherit this mask, so only sigwait below sees the stop signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    RouterSimulator simulator(options);
    if (simulator.recordFailed()) {
        std::fprintf(stderr, "router-sim: cannot write the record %s\n",
                     qPrintable(options.recordPath));
        return 1;
    }
    HttpServer server([&simulator](const SimRequest& r) { return simulator.handle(r); });
    QString error;
    const int bound = server.start(port, error);
    if (bound == 0) {
        std::fprintf(stderr, "router-sim: cannot listen on 127.0.0.1:%d: %s\n", port,
                     qPrintable(error));
        return 1;
    }
    std::printf("router-sim listening on 127.0.0.1:%d\n", bound);
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
}
