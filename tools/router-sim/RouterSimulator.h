#pragma once
// The simulated router's behaviour: which page answers which request, the login session,
// the drifting line, and the control endpoints tests use. Independent of the HTTP server.
#include "LineModel.h"
#include "RouterPages.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>

struct SimOptions {
    QString password;
    bool noSync = false;
    bool garbage = false;
    bool empty = false; // every page an empty reply (status 200, no body)
    PageStyle style;
    std::uint32_t seed = 1;
    int dropEvery = 0;  // every n-th statistics page starts two pages without sync; 0 = never
    int slowMs = 0;     // every page answered this much later
    bool down = false;  // every page request dropped unanswered, as by an unreachable router
    QString recordPath; // a line per page answered, appended here; empty = no record
    int timeScale = 1;  // the uptime runs this many times as fast as real time
};

struct SimRequest {
    QByteArray method;                    // "GET", "POST", ...
    QString path;                         // without the query
    QList<QPair<QString, QString>> query; // decoded query arguments, in order
    QString sessionCookie;                // value of the session cookie, empty if none
    QByteArray body;                      // form body of a POST
};

struct SimResponse {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMs = 0;   // wait this long before answering
    bool drop = false; // close the connection without any answer
};

class RouterSimulator {
public:
    static constexpr const char* kSessionCookie = "urn";

    explicit RouterSimulator(const SimOptions& options);
    ~RouterSimulator();
    RouterSimulator(const RouterSimulator&) = delete;
    RouterSimulator& operator=(const RouterSimulator&) = delete;

    // Safe to call from any thread.
    SimResponse handle(const SimRequest& request);
    // The record file was asked for and could not be opened.
    bool recordFailed() const { return !options_.recordPath.isEmpty() && !record_; }

private:
    SimResponse statsOrLogin(const SimRequest& request, const QString& activePage);
    SimResponse login(const SimRequest& request);
    SimResponse loginPage(const QString& returnPage, bool wrongPassword);
    SimResponse state() const;
    SimResponse set(const SimRequest& request);
    SimResponse html(const QString& markup, int status = 200);
    SimResponse page(const SimRequest& request);
    // One line of the record: real time in ms since 1970, the kind of answer, and for a
    // statistics page the values it showed.
    void record(const char* kind, bool withValues = false);
    QString randomHex(int digits);
    std::int64_t uptimeSeconds() const;

    std::mutex mutex_;
    SimOptions options_;
    LineModel line_;
    LineValues served_; // the values of the last statistics page, as the page expresses them
    StatsCells servedCells_;
    std::FILE* record_ = nullptr;
    std::mt19937 rng_;
    QElapsedTimer clock_;
    std::int64_t uptimeBase_ = 0;
    std::int64_t lastUptime_ = 0;
    QStringList issuedFields_; // recent login field ids, newest last
    QSet<QString> sessions_;
    // The values of the recent statistics pages, oldest first, so a test can match every sample
    // the monitor took against what was served without racing the next page.
    QJsonArray history_;
    int statsPages_ = 0, loginPages_ = 0, wrongPasswordPages_ = 0, logins_ = 0, pagesServed_ = 0;
};
