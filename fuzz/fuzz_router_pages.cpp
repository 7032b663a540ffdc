// The simulated router's pages, as the input switches and fills them, through the program's own
// page handling (PageDriver, StatsPageReader) behind a scripted browser: a clean statistics page
// reads back exactly the values the router wrote, a login page is answered with the password,
// a wrong-password page is left to the user, and anything else gives a sample of zeros.
#include "FakeClock.h"
#include "FakeTimer.h"
#include "FuzzFiles.h"
#include "FuzzSample.h"
#include "LineModel.h"
#include "RouterPages.h"
#include "monitor/FakeBrowser.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "storage/Settings.h"

#include <QCoreApplication>
#include <cmath>

namespace {

// Reads the input front to back; past its end every read gives 0.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t u32() { return byte() | byte() << 8 | byte() << 16 | byte() << 24; }
    // A value in [low, high].
    int64_t range(int64_t low, int64_t high) {
        const uint64_t span = uint64_t(high - low) + 1;
        return low + int64_t((uint64_t(u32()) << 32 | u32()) % span);
    }
    bool done() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

enum class Kind { Stats, Login, WrongPassword, Home, NotFound, Garbage, Empty, Count };
enum class Start { NotStarted, Running, Stopped, Count };

// The values a line can report, a good way past any real line: noise margins and attenuations
// in tenths of a decibel, rates in Kbps.
LineValues valuesFrom(InputReader& in, bool synced) {
    LineValues v;
    v.synced = synced;
    for (int* t : {&v.noiseMarginUpTenths, &v.noiseMarginDownTenths, &v.lineAttenuationUpTenths,
                   &v.lineAttenuationDownTenths, &v.signalAttenuationUpTenths,
                   &v.signalAttenuationDownTenths})
        *t = int(in.range(-999, 9999));
    for (int* r : {&v.rateUpKbps, &v.rateDownKbps, &v.maxRateUpKbps, &v.maxRateDownKbps})
        *r = int(in.range(0, 9999999));
    return v;
}

// What the browser's innerHTML of the body gives, near enough: the text between the tags.
QString bodyOf(const QByteArray& page) {
    const qsizetype open = page.indexOf("<body>");
    const qsizetype close = page.lastIndexOf("</body>");
    if (open < 0 || close < open)
        return QString::fromUtf8(page);
    return QString::fromUtf8(page.mid(open + 6, close - open - 6));
}

// Replaces, inserts or removes single bytes, four input bytes per change.
void mutate(QByteArray& page, InputReader& in) {
    while (!in.done()) {
        const qsizetype at =
            page.isEmpty() ? 0 : qsizetype(in.byte() | in.byte() << 8) % page.size();
        const uint32_t op = in.byte() % 3;
        const char value = char(in.byte());
        if (op == 0 && !page.isEmpty())
            page[at] = value;
        else if (op == 1)
            page.insert(at, value);
        else if (!page.isEmpty())
            page.remove(at, 1);
    }
}

bool near(double read, double written) {
    return std::fabs(read - written) < 1e-9;
}

bool allZero(const LineSample& s) {
    for (double v : {s.NoiseMarginUp, s.NoiseMarginDown, s.DataRateUp, s.DataRateDown, s.User1Up,
                     s.User1Down, s.User2Up, s.User2Down})
        if (v != 0)
            return false;
    return true;
}

// The user-defined row for an item index, as the router wrote it.
void userRow(const LineValues& v, int index, double& up, double& down) {
    switch (index) {
    case 0:
        up = v.maxRateUpKbps;
        down = v.maxRateDownKbps;
        return;
    case 1:
        up = v.lineAttenuationUpTenths / 10.0;
        down = v.lineAttenuationDownTenths / 10.0;
        return;
    default:
        up = v.signalAttenuationUpTenths / 10.0;
        down = v.signalAttenuationDownTenths / 10.0;
    }
}

void checkStatsRead(const LineSample& s, const LineValues& v, const PageStyle& style,
                    const Settings& settings, int64_t uptime) {
    FUZZ_CHECK(s.HasNoiseMargin == !style.missingLabels);
    FUZZ_CHECK(s.HasDataRate == !style.missingLabels);
    if (style.missingLabels) {
        FUZZ_CHECK(s.NoiseMarginUp == 0 && s.NoiseMarginDown == 0);
        FUZZ_CHECK(s.DataRateUp == 0 && s.DataRateDown == 0);
    } else {
        FUZZ_CHECK(near(s.NoiseMarginUp, v.noiseMarginUpTenths / 10.0));
        FUZZ_CHECK(near(s.NoiseMarginDown, v.noiseMarginDownTenths / 10.0));
        FUZZ_CHECK(s.DataRateUp == v.rateUpKbps);
        FUZZ_CHECK(s.DataRateDown == v.rateDownKbps);
        FUZZ_CHECK(s.DataRateUpText == QString::number(v.rateUpKbps));
        FUZZ_CHECK(s.DataRateDownText == QString::number(v.rateDownKbps));
    }
    double up = 0, down = 0;
    FUZZ_CHECK(s.HasUser1 && s.HasUser2);
    userRow(v, settings.User1, up, down);
    FUZZ_CHECK(near(s.User1Up, up) && near(s.User1Down, down));
    userRow(v, settings.User2, up, down);
    FUZZ_CHECK(near(s.User2Up, up) && near(s.User2Down, down));
    const int64_t shown = uptime + 1;
    const int64_t days = shown / 86400;
    if (settings.LogDays)
        FUZZ_CHECK(s.UptimeText.startsWith(QString::number(days) + ":"));
    else
        FUZZ_CHECK(s.UptimeText.trimmed() == QString::number(uptime));
    FUZZ_CHECK(
        s.UptimeDisplay.startsWith(QString::number(days) + (days == 1 ? " day, " : " days, ")));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader in(data, size);
    const Kind kind = Kind(in.byte() % uint32_t(Kind::Count));
    const Start start = Start(in.byte() % uint32_t(Start::Count));
    const uint32_t flags = in.byte();
    PageStyle style;
    style.missingLabels = flags & 1;
    style.firmware = flags & 2;
    style.mbps = flags & 4;
    style.quirk = flags & 8;
    const bool noSync = flags & 16;
    const bool fromModel = flags & 32;
    const bool mutated = flags & 64;

    Settings settings;
    settings.Address = QStringLiteral("127.0.0.1:18720");
    settings.Password = QStringLiteral("pa55 word");
    settings.User1 = int(in.byte() % 3);
    settings.User2 = int(in.byte() % 3);
    settings.LogDays = in.byte() & 1;

    // The line: the simulator's drifting model after some samples, or values chosen outright.
    LineValues raw;
    if (fromModel) {
        LineModel model(in.u32());
        for (uint32_t n = in.byte() % 64; n > 0; --n)
            model.next(!noSync);
        raw = model.next(!noSync);
    } else {
        raw = valuesFrom(in, !noSync);
    }
    const LineValues values = RouterPages::representable(raw, style);
    const int64_t uptime = in.range(0, 2147483646);
    const QString fieldId = QString::number(in.range(1000, 99999));
    const QString returnPage = in.byte() & 1 ? QStringLiteral("9141") : QStringLiteral("9143");
    std::mt19937 rng(in.u32());

    QByteArray page;
    switch (kind) {
    case Kind::Stats:
        page = RouterPages::statsPage(values, uptime, style).toUtf8();
        break;
    case Kind::Login:
    case Kind::WrongPassword:
        page =
            RouterPages::loginPage(fieldId, returnPage, kind == Kind::WrongPassword, style.firmware)
                .toUtf8();
        break;
    case Kind::Home:
        page = RouterPages::homePage(!noSync, style.firmware).toUtf8();
        break;
    case Kind::NotFound:
        page = RouterPages::notFoundPage().toUtf8();
        break;
    case Kind::Garbage:
        page = RouterPages::garbage(rng);
        break;
    case Kind::Empty:
    case Kind::Count:
        break;
    }
    if (mutated)
        mutate(page, in);

    FakeBrowser browser;
    FakeTimer timer1, timer5, retry;
    FakeClock clock;
    RunControl run(browser, timer1, timer5, settings, clock);
    run.ProcessEvents = [] {};
    if (start != Start::NotStarted)
        run.btnRunClick();
    if (start == Start::Stopped) {
        run.btnStopClick();
        run.btnStopMouseDown();
        FUZZ_CHECK(run.state() == MonitorState::Stopped);
    }
    LineSample sample;
    PageDriver driver(browser, run, settings, sample, clock);
    driver.ProcessEvents = [] {};
    driver.setRetryTimer(std::make_unique<FakeTimer>());

    int ready = 0, homeTab = 0;
    bool readAsStats = false;
    LineReading reading;
    QObject::connect(&driver, &PageDriver::pageReady, [&](const LineReading& r) {
        ++ready;
        readAsStats = r.statsPage;
        reading = r;
    });
    QObject::connect(&driver, &PageDriver::homeHubTabRequested, [&] { ++homeTab; });
    // Only the answer to a page asked for is handled: a tick asks while Running.
    if (run.state() == MonitorState::Running)
        run.Timer1Timer();
    else
        driver.OpenStatsPage();
    browser.calls.clear();
    browser.loadPage(bodyOf(page));

    const QStringList fields = browser.callsStartingWith(QStringLiteral("setField "));
    const bool loggedIn = !fields.isEmpty();
    FUZZ_CHECK(allFinite(sample));
    // Each page ends one way only: a login, or the page left to the user, or a sample; a
    // rejected password while Running is left on show and is a sample of zeros as well.
    FUZZ_CHECK(ready <= 1 && homeTab <= 1);
    FUZZ_CHECK(int(loggedIn) + int(homeTab > 0 || ready > 0) == 1);
    if (homeTab && ready)
        FUZZ_CHECK(run.state() == MonitorState::Running && !readAsStats);
    if (ready && !readAsStats)
        FUZZ_CHECK(allZero(sample));
    if (readAsStats)
        FUZZ_CHECK(page.contains("Information for Helpdesk agents"));

    if (mutated)
        return 0;
    switch (kind) {
    case Kind::Stats:
        FUZZ_CHECK(ready == 1 && readAsStats);
        FUZZ_CHECK(driver.AutoStarted && driver.StatsParsed);
        FUZZ_CHECK(run.state() == MonitorState::Running); // the first statistics page starts
        checkStatsRead(sample, values, style, settings, uptime);
        if (reading.isRead())
            FUZZ_CHECK(reading.uptimeSeconds == uptime + 1);
        break;
    case Kind::Login:
        if (start == Start::Stopped) {
            FUZZ_CHECK(homeTab == 1);
        } else {
            FUZZ_CHECK(fields == QStringList{"setField 0 password_" + fieldId + " pa55 word"});
            FUZZ_CHECK(browser.count(QStringLiteral("clickLink 8")) == 1);
        }
        break;
    case Kind::WrongPassword:
        FUZZ_CHECK(homeTab == 1 && browser.count(QStringLiteral("stop")) == 1);
        FUZZ_CHECK(ready == (start == Start::Running ? 1 : 0));
        break;
    case Kind::Home:
    case Kind::NotFound:
    case Kind::Garbage:
    case Kind::Empty:
    case Kind::Count:
        FUZZ_CHECK(ready == 1 && !readAsStats);
        break;
    }
    // The firmware whose statistics moved sends the next loads to their new page.
    const bool redirected = settings.FirstUrl == QStringLiteral("/index.cgi?active_page=9141");
    if (kind == Kind::Stats || kind == Kind::Home)
        FUZZ_CHECK(redirected == style.firmware);
    return 0;
}
