#pragma once
// Decides what to do with every page the program asked the browser for: answers the router's
// login page once per page asked for, recognises a wrong password (or a login page in answer to
// the password) and the statistics page, has the statistics read, starts the monitor on the
// first statistics page, follows one firmware's page move, then hands the page over to the
// sample pipeline. A page that does not come in time is handled as one without statistics.
// Keeps the router's state that the window, the tray and /metrics show.
#include "core/LineReading.h"
#include "core/LineSample.h"
#include "monitor/RouterState.h"
#include "monitor/StatsPageReader.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

class Browser;
class Clock;
class RunControl;
class Timer;
struct Settings;

class PageDriver : public QObject {
    Q_OBJECT
public:
    // Reads Address, Password, Sample, User1, User2 and LogDays from settings and changes
    // FirstUrl on the firmware redirect. currentSample is filled from every statistics page and
    // reset at every page. StatsPageUrl and LastStatsPageUrl live in run.
    PageDriver(Browser& browser, RunControl& run, Settings& settings, LineSample& currentSample,
               const Clock& clock, QObject* parent = nullptr);
    ~PageDriver() override;

    // The handler of the browser's documentComplete (connected here). Only the answer to a page
    // the program asked for (a tick, OpenStatsPage, the login) is handled, once; anything else
    // that completes, such as the router page's own timed move to another page, is only shown.
    // A page that completes while an earlier one is still being read is handled after it.
    void WebBrowser1DocumentComplete(bool requestedByProgram, bool loadFailed);
    // StatsPageUrl := "http://" + Address + FirstUrl; unless the monitor is Running (its sample
    // timer loads the page), pending window messages are processed, then the page is loaded
    // without history or cache.
    void OpenStatsPage();

    // The timer that tries the router again while it cannot be read before the first start:
    // until the monitor has first started, a page that is neither the statistics page nor a
    // login or wrong-password page (or none in time) loads the statistics page again after
    // Sample seconds (at most a minute), and Label2 says so. Recognising the statistics page, or
    // any other way out of NotStarted (Pause), ends the retries. Without a timer nothing is
    // retried.
    void setRetryTimer(std::unique_ptr<Timer> timer);
    Timer* retryTimer() const { return retryTimer_.get(); }

    // The time a page the program asked for (a sample tick, OpenStatsPage, the login) may take:
    // Sample seconds, at most 30. A page not complete by then is stopped and handled as a page
    // without statistics (a sample of zeros while Running), and the router is "not responding".
    // A tick that finds the previous page still pending does the same first. Without a timer
    // pages may take as long as they take.
    void setDeadlineTimer(std::unique_ptr<Timer> timer);
    Timer* deadlineTimer() const { return deadline_.get(); }

    // The router address or password was edited (editing finished). While the monitor is not
    // Running, a change since the statistics page was last opened opens it again, so that the
    // login is answered with the new password at the new address. A Running monitor answers its
    // next login with the new password anyway. A login held back after rejected passwords is
    // answered again once either differs from the one rejected.
    void RouterAccessEdited();

    // The router's state: the answer to the last page asked for, and the run state over it.
    RouterState& routerState() { return routerState_; }
    // The login page is left unanswered: the same password was rejected three times in a row.
    bool LoginHeldBack() const { return rejections_ >= kRejectionsBeforeHolding; }

    // The monitor has been started by the first statistics page; never reset.
    bool AutoStarted = false;
    // Some statistics page has been read since start; never reset.
    bool StatsParsed = false;
    // The status line under the browser view: "!" + StatsPageUrl while the statistics are
    // read, otherwise what keeps them from being read.
    QString Label2;

    // Lets pending window messages be processed before OpenStatsPage navigates; by default
    // QCoreApplication::processEvents.
    std::function<void()> ProcessEvents;

    // A real router may lock the account after a few wrong passwords.
    static constexpr int kRejectionsBeforeHolding = 3;

Q_SIGNALS:
    // Panel4 ("Please wait. Connecting to the Home Hub....") is hidden.
    void connectingPanelHidden();
    // The "Home Hub" tab (index 0) comes to the front.
    void homeHubTabRequested();
    // The toolbar value texts: blank for every page past the login tests, then the values read
    // from a statistics page.
    void toolbarTextsChanged(const ToolbarTexts& texts);
    // The mouse pointer goes back to the default shape.
    void defaultCursorRequested();
    // btnRun is enabled (the statistics page was recognised).
    void runButtonEnabled();
    void statusLineChanged(const QString& text);
    // The markup of a statistics page as it is read (the window keeps the last one).
    void statsPageRead(const QString& markup);
    // The page passed the login tests: the reading it gives (read or not, and why), which the
    // sample pipeline and everything after it take as it is.
    void pageReady(const LineReading& reading);
    // The page's markup could not be read; the page was dropped and the run state is unchanged.
    void documentReadFailed(const QString& message);

private:
    // Who asked for a page: the sample tick, OpenStatsPage, or the login sent with the password.
    enum class Request { Tick, Page, Login };
    // A completed page, or one that did not come in time, waiting to be handled.
    struct Answer {
        bool timedOut = false;
        bool loadFailed = false;
        QDateTime requestedAt;
        qint64 requestedSteadyMs = 0;
        Request request = Request::Page;
    };

    void requestingPage(Request request);
    void deadlinePassed();
    void enqueue(const Answer& answer);
    void handleNext();
    void classify(const QString& markup, const Answer& answer);
    // The reading of the statistics page now read, taken at time (steady time steadyMs).
    LineReading statisticsReading(const QString& markup, const QDateTime& time,
                                  qint64 steadyMs) const;
    void login(const QString& markup, qsizetype fieldNameAt);
    void passwordRejected(const Answer& answer);
    // The rest of a page without statistics: blank toolbar, zeros, the router's answer.
    void handOverWithoutStatistics(RouterStatus answer, const Answer& request,
                                   const QString& detail = QString());
    // The reading of the page now handled, taken at time (steady time steadyMs).
    LineReading readingAt(const QDateTime& time, qint64 steadyMs) const;
    bool retryUnlessStarted();
    void stopRetrying();
    void showAnswer(RouterStatus answer, const QDateTime& requestedAt, bool retrying = false);
    void setLabel2(const QString& text);

    Browser& browser_;
    RunControl& run_;
    Settings& settings_;
    LineSample& sample_;
    const Clock& clock_;
    RouterState routerState_;

    bool reading_ = false;       // a page is being read or handled
    std::deque<Answer> waiting_; // answers that came meanwhile, to be handled after it

    std::unique_ptr<Timer> retryTimer_;
    bool retryNoticeShown_ = false; // Label2 says the router is being tried again
    // The address and password the statistics page was last opened with.
    bool opened_ = false;
    QString openedAddress_, openedPassword_;

    std::unique_ptr<Timer> deadline_;
    // A page asked for has not come yet. Without one, a completion is no answer: a late one
    // given up at its deadline, or a page the router moved to by itself.
    bool requestPending_ = false;
    Request pendingRequest_ = Request::Page;
    QDateTime requestedAt_;
    qint64 requestedSteadyMs_ = 0;
    int requests_ = 0; // pages asked for since start

    // Wrong-password pages in a row for the same address and password.
    int rejections_ = 0;
    QString rejectedAddress_, rejectedPassword_;
};
