#pragma once
// Decides what to do with every page the browser finishes loading: answers the router's login
// page, recognises a wrong password and the statistics page, has the statistics read, starts the
// monitor on the first statistics page, follows one firmware's page move, then hands the page
// over to the sample pipeline.
#include "core/LineSample.h"
#include "monitor/StatsPageReader.h"

#include <QDateTime>
#include <QObject>
#include <QString>
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
    // Reads Address, Password, User1, User2 and LogDays from settings and changes FirstUrl on the
    // firmware redirect. currentSample is filled from every statistics page and reset at every
    // page. StatsPageUrl and LastStatsPageUrl live in run.
    PageDriver(Browser& browser, RunControl& run, Settings& settings, LineSample& currentSample,
               const Clock& clock, QObject* parent = nullptr);
    ~PageDriver() override;

    // The handler of the browser's documentComplete (connected here). A page that completes
    // while an earlier one is still being read is handled after it, each page once.
    void WebBrowser1DocumentComplete();
    // StatsPageUrl := "http://" + Address + FirstUrl, pending window messages processed, then
    // the page is loaded without history or cache.
    void OpenStatsPage();

    // The timer that tries the router again while it cannot be reached before the first start:
    // until the monitor has first started, a page that is neither the statistics page nor a
    // login or wrong-password page loads the statistics page again after Sample seconds (at most
    // a minute), and Label2 says so. Recognising the statistics page, or any other way out of
    // NotStarted (Pause), ends the retries. Without a timer nothing is retried.
    void setRetryTimer(std::unique_ptr<Timer> timer);
    Timer* retryTimer() const { return retryTimer_.get(); }

    // The router address or password was edited (editing finished). While the monitor is not
    // Running, a change since the statistics page was last opened opens it again, so that the
    // login is answered with the new password at the new address. A Running monitor answers its
    // next login with the new password anyway.
    void RouterAccessEdited();

    // The monitor has been started by the first statistics page; never reset.
    bool AutoStarted = false;
    // Some statistics page has been read since start; never reset.
    bool StatsParsed = false;
    // The status line under the browser view: "!" + StatsPageUrl once recognised.
    QString Label2;

    // Lets pending window messages be processed before OpenStatsPage navigates; by default
    // QCoreApplication::processEvents.
    std::function<void()> ProcessEvents;

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
    // The page passed the login tests: the sample pipeline runs with this sample time.
    void pageReady(const QDateTime& sampleTime, bool statsPage);
    // The page's markup could not be read; the page was dropped and the run state is unchanged.
    void documentReadFailed(const QString& message);

private:
    void startNextPage();
    void classify(const QString& markup);
    void login(const QString& markup, qsizetype fieldNameAt);
    void retryUnlessStarted();
    void stopRetrying();
    void setLabel2(const QString& text);

    Browser& browser_;
    RunControl& run_;
    Settings& settings_;
    LineSample& sample_;
    const Clock& clock_;

    bool reading_ = false; // a page's markup is being read or handled
    int pagesWaiting_ = 0; // pages completed meanwhile, to be handled after it

    std::unique_ptr<Timer> retryTimer_;
    bool retryNoticeShown_ = false; // Label2 says the router is being tried again
    // The address and password the statistics page was last opened with.
    bool opened_ = false;
    QString openedAddress_, openedPassword_;
};
