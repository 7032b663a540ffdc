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

class Browser;
class Clock;
class RunControl;
struct Settings;

class PageDriver : public QObject {
    Q_OBJECT
public:
    // Reads Address, Password, User1, User2 and LogDays from settings and changes FirstUrl on the
    // firmware redirect. currentSample is filled from every statistics page and reset at every
    // page. StatsPageUrl and LastStatsPageUrl live in run.
    PageDriver(Browser& browser, RunControl& run, Settings& settings, LineSample& currentSample,
               const Clock& clock, QObject* parent = nullptr);

    // The handler of the browser's documentComplete (connected here). A page that completes
    // while an earlier one is still being read is handled after it, each page once.
    void WebBrowser1DocumentComplete();
    // StatsPageUrl := "http://" + Address + FirstUrl, pending window messages processed, then
    // the page is loaded without history or cache.
    void OpenStatsPage();

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
    void label2Changed(const QString& text);
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

    Browser& browser_;
    RunControl& run_;
    Settings& settings_;
    LineSample& sample_;
    const Clock& clock_;

    bool reading_ = false; // a page's markup is being read or handled
    int pagesWaiting_ = 0; // pages completed meanwhile, to be handled after it
};
