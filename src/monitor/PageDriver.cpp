#include "monitor/PageDriver.h"

#include "core/Clock.h"
#include "core/Timer.h"
#include "monitor/Browser.h"
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

} // namespace

PageDriver::PageDriver(Browser& browser, RunControl& run, Settings& settings,
                       LineSample& currentSample, const Clock& clock, QObject* parent)
    : QObject(parent), browser_(browser), run_(run), settings_(settings), sample_(currentSample),
      clock_(clock) {
    ProcessEvents = [] { QCoreApplication::processEvents(); };
    connect(&browser_, &Browser::documentComplete, this, &PageDriver::WebBrowser1DocumentComplete);
    // Once started (or paused) the sample timer and the user are in charge of loading.
    connect(&run_, &RunControl::stateChanged, this, [this](MonitorState state) {
        if (state != MonitorState::NotStarted)
            stopRetrying();
    });
}

PageDriver::~PageDriver() = default;

void PageDriver::OpenStatsPage() {
    run_.StatsPageUrl = QStringLiteral("http://") + settings_.Address + settings_.FirstUrl;
    opened_ = true;
    openedAddress_ = settings_.Address;
    openedPassword_ = settings_.Password;
    ProcessEvents();
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

void PageDriver::RouterAccessEdited() {
    if (opened_ && settings_.Address == openedAddress_ && settings_.Password == openedPassword_)
        return;
    // Without an address there is nothing to load; a Running monitor logs in at its next tick.
    if (settings_.Address.isEmpty() || run_.state() == MonitorState::Running)
        return;
    if (retryTimer_)
        retryTimer_->setEnabled(false); // the page now loading decides whether to try again
    OpenStatsPage();
}

void PageDriver::setLabel2(const QString& text) {
    Label2 = text;
    Q_EMIT statusLineChanged(Label2);
}

void PageDriver::retryUnlessStarted() {
    if (!retryTimer_ || run_.state() != MonitorState::NotStarted)
        return;
    const int seconds = qBound(1, settings_.Sample, kLongestRetrySeconds);
    retryTimer_->setInterval(seconds * 1000);
    retryTimer_->setEnabled(true);
    retryNoticeShown_ = true;
    setLabel2(QStringLiteral("Home Hub not reachable at ") + settings_.Address +
              QStringLiteral(", trying again every %1 s").arg(seconds));
}

void PageDriver::stopRetrying() {
    if (retryTimer_)
        retryTimer_->setEnabled(false);
    if (retryNoticeShown_) {
        retryNoticeShown_ = false;
        setLabel2(QString());
    }
}

void PageDriver::WebBrowser1DocumentComplete() {
    // The read is asynchronous and other handlers run while it is pending; a page that completes
    // meanwhile waits its turn rather than interleaving with this one.
    if (reading_) {
        ++pagesWaiting_;
        return;
    }
    startNextPage();
}

void PageDriver::startNextPage() {
    reading_ = true;
    // This page decides whether the router is tried again.
    if (retryTimer_)
        retryTimer_->setEnabled(false);
    sample_.reset();
    Q_EMIT connectingPanelHidden();

    QPointer<PageDriver> self(this);
    browser_.readBodyHtml([self](const std::optional<QString>& markup) {
        if (!self)
            return;
        // A page whose markup cannot be obtained is dropped, the run goes on; before the first
        // start it is one more page that is not the router's. Empty markup is an ordinary page.
        if (!markup) {
            Q_EMIT self->documentReadFailed(QStringLiteral("The router page could not be read."));
            if (self)
                self->retryUnlessStarted();
        } else {
            self->classify(*markup);
        }
        if (!self)
            return;
        self->reading_ = false;
        if (self->pagesWaiting_ > 0) {
            --self->pagesWaiting_;
            self->startNextPage();
        }
    });
}

void PageDriver::classify(const QString& markup) {
    // Wrong password: leave the page on show; the next tick asks again.
    if (occursFromThird(markup, QLatin1StringView("incorrect")) ||
        occursFromThird(markup, QLatin1StringView("Your password hint"))) {
        stopRetrying(); // the router answers; the password is for the user to mend
        browser_.stop();
        Q_EMIT homeHubTabRequested();
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
        login(markup, field.capturedEnd() - kPasswordPrefix.size());
        return;
    }

    // This firmware moved the statistics to another page; the new path is kept in the settings.
    if (markup.contains(QLatin1StringView("Software version 4.7.5.1.83.8.204"))) {
        settings_.FirstUrl = QStringLiteral("/index.cgi?active_page=9141");
        OpenStatsPage();
    }

    Q_EMIT toolbarTextsChanged(ToolbarTexts{});
    const QDateTime sampleTime = clock_.now();
    Q_EMIT defaultCursorRequested();

    // The markup read above is still the page's: nothing in between changes the document.
    const bool statsPage = markup.contains(QLatin1StringView("Information for Helpdesk agents"));
    if (statsPage) {
        Q_EMIT runButtonEnabled();
        retryNoticeShown_ = false;
        setLabel2(QStringLiteral("!") + run_.StatsPageUrl);
        run_.LastStatsPageUrl = run_.StatsPageUrl;
        if (!AutoStarted) {
            run_.btnRunClick();
            AutoStarted = true;
        }
        StatsParsed = true;
        Q_EMIT statsPageRead(markup);
        const ToolbarTexts texts = StatsPageReader::BTHomeHub5A(
            markup, settings_.User1, settings_.User2, settings_.LogDays, sample_);
        Q_EMIT toolbarTextsChanged(texts);
        // Also cancels a reload that the redirect or the start above asked for.
        browser_.stop();
    } else {
        // No statistics: a sample of zeros in every group, so the log shows the outage as the
        // graphs and the data file do.
        sample_.setZeroSample();
        retryUnlessStarted();
    }

    Q_EMIT pageReady(sampleTime, statsPage);
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
    // answer, or the lack of one, is the next completed page.
    browser_.setFormFieldValue(0, name, settings_.Password);
    browser_.clickLink(8);
}
