#include "monitor/PageDriver.h"

#include "core/Clock.h"
#include "core/FormatDateTime.h"
#include "core/Timer.h"
#include "monitor/Browser.h"
#include "monitor/PageTitle.h"
#include "monitor/RunControl.h"
#include "storage/Settings.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>

namespace {

// The router's pages start with markup of their own, so a marker counts only when its first
// occurrence is not at the very start of the page.
bool occursFromThird(const QString& markup, QLatin1StringView text) {
    return markup.indexOf(text) >= 2;
}

// The login field's name attribute; this engine writes attribute values quoted.
const QRegularExpression& passwordFieldPattern() {
    static const QRegularExpression pattern(QStringLiteral("name=[\"']?password_"));
    return pattern;
}

const QLatin1StringView kPasswordPrefix("password_");

// The longest wait between two tries of an unreachable router.
constexpr int kLongestRetrySeconds = 60;
// The longest a page asked for may take.
constexpr int kLongestWaitSeconds = 30;

} // namespace

PageDriver::PageDriver(Browser& browser, RunControl& run, Settings& settings,
                       LineSample& currentSample, const Clock& clock, QObject* parent)
    : QObject(parent), browser_(browser), run_(run), settings_(settings), sample_(currentSample),
      clock_(clock) {
    ProcessEvents = [] { QCoreApplication::processEvents(); };
    connect(&browser_, &Browser::documentComplete, this, &PageDriver::WebBrowser1DocumentComplete);
    // The user took the view over before the page asked for came: nothing was measured, so
    // nothing is recorded (a zero would be a drop the line never had); the next tick asks again.
    connect(&browser_, &Browser::programLoadAbandoned, this, [this] {
        if (!requestPending_)
            return;
        requestPending_ = false;
        if (deadline_)
            deadline_->setEnabled(false);
        retryUnlessStarted(); // before the first start no tick would ask again
    });
    // Once started (or paused) the sample timer and the user are in charge of loading.
    connect(&run_, &RunControl::stateChanged, this, [this](MonitorState state) {
        if (state != MonitorState::NotStarted)
            stopRetrying();
        routerState_.setMonitorState(state, run_.ResumeAt());
    });
    connect(&run_, &RunControl::resumeTimeChanged, this,
            [this] { routerState_.setMonitorState(run_.state(), run_.ResumeAt()); });
    connect(&run_, &RunControl::pageRequested, this, [this] { requestingPage(Request::Tick); });
    // The user's Start is a new try of the password held back.
    connect(&run_, &RunControl::startedByUser, this, [this] { rejections_ = 0; });
}

PageDriver::~PageDriver() = default;

void PageDriver::OpenStatsPage() {
    run_.StatsPageUrl = QStringLiteral("http://") + settings_.Address + settings_.FirstUrl;
    opened_ = true;
    openedAddress_ = settings_.Address;
    openedPassword_ = settings_.Password;
    // While Running the sample timer loads the page: a load from here would be a sample of its
    // own between two ticks.
    if (run_.state() == MonitorState::Running)
        return;
    ProcessEvents();
    requestingPage(Request::Page);
    browser_.navigate(run_.StatsPageUrl, true);
}

void PageDriver::setRetryTimer(std::unique_ptr<Timer> timer) {
    retryTimer_ = std::move(timer);
    if (!retryTimer_)
        return;
    retryTimer_->setEnabled(false);
    retryTimer_->setHandler([this] {
        retryTimer_->setEnabled(false); // one try per page that asked for it
        if (run_.state() == MonitorState::NotStarted)
            OpenStatsPage();
    });
}

void PageDriver::setDeadlineTimer(std::unique_ptr<Timer> timer) {
    deadline_ = std::move(timer);
    if (!deadline_)
        return;
    deadline_->setEnabled(false);
    deadline_->setHandler([this] { deadlinePassed(); });
}

void PageDriver::RouterAccessEdited() {
    // Another password or address is worth a login again.
    if (rejections_ > 0 &&
        (settings_.Address != rejectedAddress_ || settings_.Password != rejectedPassword_))
        rejections_ = 0;
    if (opened_ && settings_.Address == openedAddress_ && settings_.Password == openedPassword_)
        return;
    // Without an address there is nothing to load; a Running monitor logs in at its next tick.
    if (settings_.Address.isEmpty() || run_.state() == MonitorState::Running)
        return;
    if (retryTimer_)
        retryTimer_->setEnabled(false); // the page now loading decides whether to try again
    OpenStatsPage();
}

void PageDriver::requestingPage(Request request) {
    // The tick asks for the next sample: the previous one, if it has still not come, is lost
    // first, so that every tick leaves exactly one record. A tick inside the handling of a page
    // (the first start) replaces what that handling asked for.
    if (request == Request::Tick && requestPending_ && deadline_ && !reading_)
        deadlinePassed();
    requestPending_ = true;
    pendingRequest_ = request;
    requestedAt_ = clock_.now();
    requestedSteadyMs_ = clock_.steadyMs();
    ++requests_;
    if (deadline_) {
        deadline_->setEnabled(false);
        deadline_->setInterval(qBound(1, settings_.Sample, kLongestWaitSeconds) * 1000);
        deadline_->setEnabled(true);
    }
}

void PageDriver::deadlinePassed() {
    if (deadline_)
        deadline_->setEnabled(false);
    if (!requestPending_)
        return;
    requestPending_ = false;
    browser_.stop();
    enqueue(Answer{true, false, requestedAt_, requestedSteadyMs_, pendingRequest_});
}

void PageDriver::setLabel2(const QString& text) {
    Label2 = text;
    Q_EMIT statusLineChanged(Label2);
}

void PageDriver::showAnswer(RouterStatus answer, const QDateTime& requestedAt, bool retrying) {
    routerState_.setAnswer(answer, requestedAt);
    retryNoticeShown_ = retrying;
    const QString since = QStringLiteral(" since ") +
                          FormatDateTime(QStringLiteral("hh:mm:ss"), routerState_.since());
    const QString tail = retrying ? QStringLiteral(", trying again every %1 s")
                                        .arg(retryTimer_ ? retryTimer_->interval() / 1000 : 0)
                                  : since;
    switch (answer) {
    case RouterStatus::Reading:
        setLabel2(QStringLiteral("!") + run_.StatsPageUrl);
        break;
    case RouterStatus::NotReachable:
        setLabel2(QStringLiteral("Home Hub not reachable at ") + settings_.Address + tail);
        break;
    case RouterStatus::NotResponding:
        setLabel2(QStringLiteral("Home Hub not responding at ") + settings_.Address + since);
        break;
    case RouterStatus::PasswordRejected:
        setLabel2(
            QStringLiteral("The Home Hub rejected the password: correct it on the Configure tab"));
        break;
    case RouterStatus::NoStatistics:
        setLabel2(QStringLiteral("No line statistics on the page at ") + settings_.Address + tail);
        break;
    case RouterStatus::Connecting:
    case RouterStatus::Paused:
    case RouterStatus::Stopped:
        break;
    }
}

bool PageDriver::retryUnlessStarted() {
    if (!retryTimer_ || run_.state() != MonitorState::NotStarted)
        return false;
    const int seconds = qBound(1, settings_.Sample, kLongestRetrySeconds);
    retryTimer_->setInterval(seconds * 1000);
    retryTimer_->setEnabled(true);
    return true;
}

void PageDriver::stopRetrying() {
    if (retryTimer_)
        retryTimer_->setEnabled(false);
    if (retryNoticeShown_) {
        retryNoticeShown_ = false;
        setLabel2(QString());
    }
}

void PageDriver::WebBrowser1DocumentComplete(bool requestedByProgram, bool loadFailed) {
    // The user's own browsing on the Home Hub tab is shown and nothing more.
    if (!requestedByProgram)
        return;
    // Nothing was asked for: the page given up at its deadline, already handled, comes late, or
    // the router's page moved on by itself (its timed refresh). Neither is a sample of a tick.
    if (!requestPending_)
        return;
    const Answer answer{false, loadFailed, requestedAt_, requestedSteadyMs_, pendingRequest_};
    requestPending_ = false;
    if (deadline_)
        deadline_->setEnabled(false);
    enqueue(answer);
}

void PageDriver::enqueue(const Answer& answer) {
    waiting_.push_back(answer);
    handleNext();
}

// The read is asynchronous and other handlers run while it is pending; an answer that comes
// meanwhile waits its turn rather than interleaving with this one.
void PageDriver::handleNext() {
    if (reading_ || waiting_.empty())
        return;
    const Answer answer = waiting_.front();
    waiting_.pop_front();
    reading_ = true;
    // This answer decides whether the router is tried again.
    if (retryTimer_)
        retryTimer_->setEnabled(false);
    sample_.reset();
    Q_EMIT connectingPanelHidden();

    QPointer<PageDriver> self(this);
    const auto next = [self] {
        if (!self)
            return;
        self->reading_ = false;
        self->handleNext();
    };
    if (answer.timedOut) {
        // The sample belongs to the tick that asked for it.
        handOverWithoutStatistics(RouterStatus::NotResponding, answer);
        next();
        return;
    }
    browser_.readBodyHtml([self, answer, next](const std::optional<QString>& markup) {
        if (!self)
            return;
        // A page whose markup cannot be obtained is dropped, the run goes on; before the first
        // start it is one more page that is not the router's. Empty markup is an ordinary page.
        if (!markup) {
            Q_EMIT self->documentReadFailed(QStringLiteral("The router page could not be read."));
            if (self && self->retryUnlessStarted())
                self->showAnswer(RouterStatus::NoStatistics, answer.requestedAt, true);
        } else {
            self->classify(*markup, answer);
        }
        next();
    });
}

void PageDriver::classify(const QString& markup, const Answer& answer) {
    const int requestsBefore = requests_;

    if (occursFromThird(markup, QLatin1StringView("incorrect")) ||
        occursFromThird(markup, QLatin1StringView("Your password hint"))) {
        passwordRejected(answer);
        return;
    }

    // While stopped the login is left to the user.
    if (run_.state() == MonitorState::Stopped &&
        occursFromThird(markup, QLatin1StringView("enter your admin password"))) {
        Q_EMIT homeHubTabRequested();
        return;
    }

    if (markup.contains(QLatin1StringView("Password:")))
        browser_.scrollBy(0, 28);

    const QRegularExpressionMatch field = passwordFieldPattern().match(markup);
    if (field.hasMatch() && field.capturedStart() >= 2) {
        stopRetrying(); // the router answers; its next page tells how the login went
        // The password was answered with another login page: not taken, even without a word
        // saying so (a lockout page has a password field too). Sending it again at once would
        // go round for ever, so this tick logs in once only.
        if (answer.request == Request::Login) {
            passwordRejected(answer);
            return;
        }
        if (LoginHeldBack()) {
            // The same password again could lock the account: the page waits for the user.
            if (run_.state() == MonitorState::Running)
                handOverWithoutStatistics(RouterStatus::PasswordRejected, answer);
            else
                showAnswer(RouterStatus::PasswordRejected, answer.requestedAt);
            return;
        }
        login(markup, field.capturedEnd() - kPasswordPrefix.size());
        return;
    }

    // This firmware moved the statistics to another page; the new path is kept in the settings.
    if (markup.contains(QLatin1StringView("Software version 4.7.5.1.83.8.204"))) {
        settings_.FirstUrl = QStringLiteral("/index.cgi?active_page=9141");
        OpenStatsPage();
    }

    // The markup read above is still the page's: nothing in between changes the document.
    if (!markup.contains(QLatin1StringView("Information for Helpdesk agents"))) {
        if (answer.loadFailed)
            handOverWithoutStatistics(RouterStatus::NotReachable, answer);
        else
            handOverWithoutStatistics(RouterStatus::NoStatistics, answer,
                                      PageTitle::fromMarkup(markup));
        return;
    }

    Q_EMIT toolbarTextsChanged(ToolbarTexts{});
    const QDateTime sampleTime = clock_.now();
    const qint64 sampleSteadyMs = clock_.steadyMs();
    Q_EMIT defaultCursorRequested();

    Q_EMIT runButtonEnabled();
    run_.LastStatsPageUrl = run_.StatsPageUrl;
    rejections_ = 0;
    showAnswer(RouterStatus::Reading, answer.requestedAt);
    if (!AutoStarted) {
        run_.btnRunClick(RunControl::StartedBy::Program);
        AutoStarted = true;
    }
    StatsParsed = true;
    Q_EMIT statsPageRead(markup);
    const ToolbarTexts texts = StatsPageReader::BTHomeHub5A(
        markup, settings_.User1, settings_.User2, settings_.LogDays, sample_);
    Q_EMIT toolbarTextsChanged(texts);
    // This page is the sample: a reload that the redirect or the start above asked for is
    // cancelled.
    if (requests_ != requestsBefore) {
        browser_.stop();
        requestPending_ = false;
        if (deadline_)
            deadline_->setEnabled(false);
    }

    const LineReading reading = statisticsReading(markup, sampleTime, sampleSteadyMs);
    routerState_.setLine(reading.state, reading.time);
    Q_EMIT pageReady(reading);
}

LineReading PageDriver::statisticsReading(const QString& markup, const QDateTime& time,
                                          qint64 steadyMs) const {
    LineReading reading = readingAt(time, steadyMs);
    reading.statsPage = true;
    reading.state = LineReading::stateOf(sample_);
    if (reading.isRead()) {
        reading.why = LineReading::Why::None;
        reading.uptimeSeconds = StatsPageReader::uptimeSeconds(markup);
        return reading;
    }
    reading.why = LineReading::Why::GroupMissing;
    if (!sample_.HasNoiseMargin && !sample_.HasDataRate)
        reading.detail = QStringLiteral("no noise margin and no data rate on the page");
    else if (!sample_.HasNoiseMargin)
        reading.detail = QStringLiteral("no noise margin on the page");
    else
        reading.detail = QStringLiteral("no data rate on the page");
    return reading;
}

LineReading PageDriver::readingAt(const QDateTime& time, qint64 steadyMs) const {
    LineReading reading;
    reading.time = time;
    reading.steadyMs = steadyMs;
    reading.sample = sample_;
    reading.uptimeSeconds = -1; // known only from a statistics page that was read
    return reading;
}

void PageDriver::passwordRejected(const Answer& answer) {
    stopRetrying(); // the router answers; the password is for the user to mend
    // Left on show; a tick that came while the page was read has its own load on the way.
    if (!requestPending_)
        browser_.stop();
    Q_EMIT homeHubTabRequested();
    if (rejections_ > 0 && settings_.Address == rejectedAddress_ &&
        settings_.Password == rejectedPassword_) {
        ++rejections_;
    } else {
        rejections_ = 1;
        rejectedAddress_ = settings_.Address;
        rejectedPassword_ = settings_.Password;
    }
    // Running, the line is not read: that is a sample like any other page without statistics.
    if (run_.state() == MonitorState::Running)
        handOverWithoutStatistics(RouterStatus::PasswordRejected, answer);
    else
        showAnswer(RouterStatus::PasswordRejected, answer.requestedAt);
}

void PageDriver::handOverWithoutStatistics(RouterStatus answer, const Answer& request,
                                           const QString& detail) {
    const QDateTime& requestedAt = request.requestedAt;
    Q_EMIT toolbarTextsChanged(ToolbarTexts{});
    // A page that never came is the sample of the moment it was asked for.
    const bool never = answer == RouterStatus::NotResponding;
    const QDateTime sampleTime = never ? requestedAt : clock_.now();
    const qint64 sampleSteadyMs = never ? request.requestedSteadyMs : clock_.steadyMs();
    Q_EMIT defaultCursorRequested();
    // No statistics: a sample of zeros in every group, so the log shows the outage as the
    // graphs and the data file do.
    sample_.setZeroSample();
    const bool retrying = answer != RouterStatus::PasswordRejected && retryUnlessStarted();
    showAnswer(answer, requestedAt, retrying);
    LineReading reading = readingAt(sampleTime, sampleSteadyMs);
    // Not read: the zeros above are for the graphs, the data file and the log only.
    reading.state = LineReading::State::NotRead;
    reading.detail = detail;
    switch (answer) {
    case RouterStatus::NotReachable:
        reading.why = LineReading::Why::NotReachable;
        break;
    case RouterStatus::PasswordRejected:
        reading.why = LineReading::Why::PasswordRejected;
        break;
    case RouterStatus::NoStatistics:
        reading.why = LineReading::Why::OtherPage;
        break;
    default:
        reading.why = LineReading::Why::NotResponding;
        break;
    }
    Q_EMIT pageReady(reading);
}

void PageDriver::login(const QString& markup, qsizetype passwordAt) {
    // The field is "password_" and the digits after it, read from a 30-character window.
    const QString window = markup.mid(passwordAt, 30);
    QString name = kPasswordPrefix;
    for (const QChar c : window.mid(kPasswordPrefix.size())) {
        if (c < u'0' || c > u'9')
            break;
        name += c;
    }
    // A missing field or link does nothing, and the browser reports nothing: the router's
    // answer, or the lack of one by the deadline, is the next page.
    browser_.setFormFieldValue(0, name, settings_.Password);
    requestingPage(Request::Login);
    browser_.clickLink(8);
}
