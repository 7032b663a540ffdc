#include "RouterSimulator.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace {

const QString kStatsPage = QStringLiteral("9143");
const QString kMovedStatsPage = QStringLiteral("9141");
constexpr int kRememberedFields = 32;
constexpr int kHistoryLength = 512;
// Longer than any browser waits for a page.
constexpr int kMaxSlowMs = 600000;

double fromTenths(int t) {
    return t / 10.0;
}

SimResponse plain(int status, const QString& text) {
    SimResponse r;
    r.status = status;
    r.contentType = "text/plain; charset=utf-8";
    r.body = text.toUtf8() + '\n';
    return r;
}

SimResponse redirect(const QString& location, const QByteArray& cookie = QByteArray()) {
    SimResponse r;
    r.status = 303;
    r.body = "<html><body>See other</body></html>\n";
    r.headers.append({"Location", location.toUtf8()});
    if (!cookie.isEmpty())
        r.headers.append({"Set-Cookie", cookie});
    return r;
}

QString argument(const QList<QPair<QString, QString>>& args, const QString& name) {
    for (const auto& [key, value] : args)
        if (key == name)
            return value;
    return QString();
}

bool isStatsPage(const QString& activePage) {
    return activePage == kStatsPage || activePage == kMovedStatsPage;
}

// A "0"/"1" switch of /sim/set; false when the text is neither.
bool parseSwitch(const QString& text, bool& value) {
    if (text == u"0" || text == u"1") {
        value = text == u"1";
        return true;
    }
    return false;
}

} // namespace

RouterSimulator::RouterSimulator(const SimOptions& options)
    : options_(options), line_(options.seed), rng_(options.seed ^ 0x5eed5eedu) {
    served_ = RouterPages::representable(line_.current(), options_.style);
    servedCells_ = RouterPages::statsCells(served_, options_.style);
    // A router that has been up for a while: between one and twenty days.
    uptimeBase_ = std::uniform_int_distribution<std::int64_t>(86400, 20 * 86400)(rng_);
    lastUptime_ = uptimeBase_;
    clock_.start();
    if (!options_.recordPath.isEmpty())
        record_ = std::fopen(QFile::encodeName(options_.recordPath).constData(), "a");
}

RouterSimulator::~RouterSimulator() {
    if (record_)
        std::fclose(record_);
}

std::int64_t RouterSimulator::uptimeSeconds() const {
    return uptimeBase_ + clock_.elapsed() * options_.timeScale / 1000;
}

QString RouterSimulator::randomHex(int digits) {
    static const char kHex[] = "0123456789abcdef";
    std::uniform_int_distribution<int> nibble(0, 15);
    QString s;
    for (int i = 0; i < digits; ++i)
        s += QLatin1Char(kHex[nibble(rng_)]);
    return s;
}

SimResponse RouterSimulator::html(const QString& markup, int status) {
    ++pagesServed_;
    SimResponse r;
    r.status = status;
    r.body = markup.toUtf8();
    return r;
}

SimResponse RouterSimulator::handle(const SimRequest& request) {
    std::lock_guard lock(mutex_);
    if (request.path == u"/sim/state")
        return state();
    if (request.path == u"/sim/set")
        return set(request);

    if (request.method != "GET" && request.method != "HEAD" && request.method != "POST")
        return plain(405, QStringLiteral("method not allowed"));
    if (options_.down) {
        record("down");
        SimResponse r;
        r.drop = true;
        return r;
    }
    SimResponse r = page(request);
    r.delayMs = options_.slowMs;
    return r;
}

SimResponse RouterSimulator::page(const SimRequest& request) {
    if (options_.empty) {
        ++pagesServed_;
        record("empty");
        return SimResponse{};
    }
    if (options_.garbage) {
        ++pagesServed_;
        record("garbage");
        SimResponse r;
        r.contentType = "text/html";
        r.body = RouterPages::garbage(rng_);
        return r;
    }
    if (request.path == u"/") {
        record("redirect");
        return redirect(QStringLiteral("/index.cgi?active_page=9100"));
    }
    if (request.path == u"/login.cgi") {
        if (request.method == "POST")
            return login(request);
        return loginPage(kStatsPage, false);
    }
    if (request.path == u"/index.cgi") {
        const QString activePage = argument(request.query, QStringLiteral("active_page"));
        if (isStatsPage(activePage))
            return statsOrLogin(request, activePage);
        record("home");
        return html(RouterPages::homePage(line_.current().synced, options_.style.firmware));
    }
    record("notfound");
    return html(RouterPages::notFoundPage(), 404);
}

void RouterSimulator::record(const char* kind, bool withValues) {
    if (!record_)
        return;
    std::fprintf(record_, "%lld %s", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                 kind);
    if (withValues) {
        const LineValues& v = served_;
        std::fprintf(
            record_, " %d %.1f %.1f %d %d %d %d %.1f %.1f %.1f %.1f %lld", v.synced ? 1 : 0,
            fromTenths(v.noiseMarginUpTenths), fromTenths(v.noiseMarginDownTenths), v.rateUpKbps,
            v.rateDownKbps, v.maxRateUpKbps, v.maxRateDownKbps,
            fromTenths(v.lineAttenuationUpTenths), fromTenths(v.lineAttenuationDownTenths),
            fromTenths(v.signalAttenuationUpTenths), fromTenths(v.signalAttenuationDownTenths),
            static_cast<long long>(lastUptime_));
    }
    std::fputc('\n', record_);
    // Read while the simulator runs, so every line is whole on disk at once.
    std::fflush(record_);
}

SimResponse RouterSimulator::statsOrLogin(const SimRequest& request, const QString& activePage) {
    if (!sessions_.contains(request.sessionCookie))
        return loginPage(activePage, false);

    ++statsPages_;
    bool synced = !options_.noSync;
    if (options_.dropEvery > 0 && statsPages_ >= options_.dropEvery &&
        statsPages_ % options_.dropEvery < 2)
        synced = false;
    served_ = RouterPages::representable(line_.next(synced), options_.style);
    servedCells_ = RouterPages::statsCells(served_, options_.style);
    lastUptime_ = uptimeSeconds();
    history_.append(QJsonObject{
        {QStringLiteral("statsPage"), statsPages_},
        {QStringLiteral("synced"), served_.synced},
        {QStringLiteral("noiseMarginUp"), fromTenths(served_.noiseMarginUpTenths)},
        {QStringLiteral("noiseMarginDown"), fromTenths(served_.noiseMarginDownTenths)},
        {QStringLiteral("dataRateUp"), served_.rateUpKbps},
        {QStringLiteral("dataRateDown"), served_.rateDownKbps},
        {QStringLiteral("maxDataRateUp"), served_.maxRateUpKbps},
        {QStringLiteral("maxDataRateDown"), served_.maxRateDownKbps},
        {QStringLiteral("lineAttenuationUp"), fromTenths(served_.lineAttenuationUpTenths)},
        {QStringLiteral("lineAttenuationDown"), fromTenths(served_.lineAttenuationDownTenths)},
        {QStringLiteral("noiseMarginText"), servedCells_.noiseMargin},
        {QStringLiteral("uptimeSeconds"), static_cast<qint64>(lastUptime_)},
    });
    while (history_.size() > kHistoryLength)
        history_.removeFirst();
    record("stats", true);
    return html(RouterPages::statsPage(served_, lastUptime_, options_.style));
}

SimResponse RouterSimulator::loginPage(const QString& returnPage, bool wrongPassword) {
    // A fresh field name for every form, as the router does.
    const QString id = QString::number(std::uniform_int_distribution<int>(1000, 99999)(rng_));
    issuedFields_.append(QStringLiteral("password_") + id);
    while (issuedFields_.size() > kRememberedFields)
        issuedFields_.removeFirst();
    if (wrongPassword)
        ++wrongPasswordPages_;
    else
        ++loginPages_;
    record(wrongPassword ? "wrongpassword" : "login");
    return html(RouterPages::loginPage(id, returnPage, wrongPassword, options_.style.firmware));
}

SimResponse RouterSimulator::login(const SimRequest& request) {
    QByteArray body = request.body;
    body.replace('+', "%20"); // form encoding writes blanks as "+"
    const QUrlQuery form(QString::fromLatin1(body));
    QString returnPage = form.queryItemValue(QStringLiteral("active_page"), QUrl::FullyDecoded);
    if (!isStatsPage(returnPage))
        returnPage = kStatsPage;

    QString fieldName, password;
    bool hasField = false;
    for (const auto& [key, value] : form.queryItems(QUrl::FullyDecoded))
        if (key.startsWith(QStringLiteral("password_"))) {
            fieldName = key;
            password = value;
            hasField = true;
        }
    // A form the router did not hand out (or too long ago) is answered with a fresh one.
    if (!hasField || !issuedFields_.contains(fieldName))
        return loginPage(returnPage, false);
    if (password != options_.password)
        return loginPage(returnPage, true);

    ++logins_;
    record("loggedin");
    const QString session = randomHex(32);
    sessions_.insert(session);
    return redirect(QStringLiteral("/index.cgi?active_page=") + returnPage,
                    QByteArray(kSessionCookie) + '=' + session.toLatin1() + "; path=/; HttpOnly");
}

SimResponse RouterSimulator::state() const {
    const LineValues& v = served_;
    const StatsCells& cells = servedCells_;
    QJsonObject texts{
        {QStringLiteral("noiseMargin"), cells.noiseMargin},
        {QStringLiteral("dataRate"), cells.dataRate},
        {QStringLiteral("maxDataRate"), cells.maxDataRate},
        {QStringLiteral("lineAttenuation"), cells.lineAttenuation},
        {QStringLiteral("signalAttenuation"), cells.signalAttenuation},
    };
    QJsonObject switches{
        {QStringLiteral("nosync"), options_.noSync},
        {QStringLiteral("garbage"), options_.garbage},
        {QStringLiteral("empty"), options_.empty},
        {QStringLiteral("missing"), options_.style.missingLabels},
        {QStringLiteral("firmware"), options_.style.firmware},
        {QStringLiteral("mbps"), options_.style.mbps},
        {QStringLiteral("quirk"), options_.style.quirk},
        {QStringLiteral("dropevery"), options_.dropEvery},
        {QStringLiteral("slow"), options_.slowMs},
        {QStringLiteral("down"), options_.down},
    };
    QJsonObject o{
        {QStringLiteral("synced"), v.synced},
        {QStringLiteral("noiseMarginUp"), fromTenths(v.noiseMarginUpTenths)},
        {QStringLiteral("noiseMarginDown"), fromTenths(v.noiseMarginDownTenths)},
        {QStringLiteral("dataRateUp"), v.rateUpKbps},
        {QStringLiteral("dataRateDown"), v.rateDownKbps},
        {QStringLiteral("maxDataRateUp"), v.maxRateUpKbps},
        {QStringLiteral("maxDataRateDown"), v.maxRateDownKbps},
        {QStringLiteral("lineAttenuationUp"), fromTenths(v.lineAttenuationUpTenths)},
        {QStringLiteral("lineAttenuationDown"), fromTenths(v.lineAttenuationDownTenths)},
        {QStringLiteral("signalAttenuationUp"), fromTenths(v.signalAttenuationUpTenths)},
        {QStringLiteral("signalAttenuationDown"), fromTenths(v.signalAttenuationDownTenths)},
        {QStringLiteral("uptimeSeconds"), static_cast<qint64>(lastUptime_)},
        {QStringLiteral("statsPages"), statsPages_},
        {QStringLiteral("loginPages"), loginPages_},
        {QStringLiteral("wrongPasswordPages"), wrongPasswordPages_},
        {QStringLiteral("logins"), logins_},
        {QStringLiteral("pagesServed"), pagesServed_},
        {QStringLiteral("sessions"), static_cast<int>(sessions_.size())},
        {QStringLiteral("lastFieldName"),
         issuedFields_.isEmpty() ? QString() : issuedFields_.last()},
        {QStringLiteral("texts"), texts},
        {QStringLiteral("switches"), switches},
        {QStringLiteral("history"), history_},
    };
    SimResponse r;
    r.contentType = "application/json";
    r.body = QJsonDocument(o).toJson(QJsonDocument::Indented);
    return r;
}

SimResponse RouterSimulator::set(const SimRequest& request) {
    // Check every argument before changing anything, so a bad request changes nothing.
    SimOptions next = options_;
    bool logout = false, retrain = false, restart = false;
    for (const auto& [key, value] : request.query) {
        bool ok = true;
        if (key == u"nosync")
            ok = parseSwitch(value, next.noSync);
        else if (key == u"garbage")
            ok = parseSwitch(value, next.garbage);
        else if (key == u"empty")
            ok = parseSwitch(value, next.empty);
        else if (key == u"missing")
            ok = parseSwitch(value, next.style.missingLabels);
        else if (key == u"firmware")
            ok = parseSwitch(value, next.style.firmware);
        else if (key == u"mbps")
            ok = parseSwitch(value, next.style.mbps);
        else if (key == u"quirk")
            ok = parseSwitch(value, next.style.quirk);
        else if (key == u"down")
            ok = parseSwitch(value, next.down);
        else if (key == u"slow") {
            next.slowMs = value.toInt(&ok);
            ok = ok && next.slowMs >= 0 && next.slowMs <= kMaxSlowMs;
        } else if (key == u"logout")
            ok = parseSwitch(value, logout);
        else if (key == u"retrain")
            ok = parseSwitch(value, retrain);
        else if (key == u"restart")
            ok = parseSwitch(value, restart);
        else if (key == u"password")
            next.password = value;
        else if (key == u"dropevery") {
            next.dropEvery = value.toInt(&ok);
            ok = ok && (next.dropEvery == 0 || next.dropEvery >= 3);
        } else
            return plain(400, QStringLiteral("unknown setting: ") + key);
        if (!ok)
            return plain(400,
                         QStringLiteral("bad value for ") + key + QStringLiteral(": ") + value);
    }
    options_ = next;
    if (logout)
        sessions_.clear();
    // Once, at the next statistics page: new rates; after a restart also an uptime from 0.
    if (retrain || restart)
        line_.retrain();
    if (restart)
        uptimeBase_ = -clock_.elapsed() * options_.timeScale / 1000;
    return state();
}
