#pragma once
// The JPEG picture of the router's statistics page: sampling is held, the page is scrolled and
// grabbed, and only then is the user asked where to save it, so that a reload cannot replace
// the page while the dialog is open. Sampling is restored afterwards, also after a failure.
#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

class Browser;
class Timer;
class UserMessages;

class StatsPagePicture : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> running;        // the monitor is Running: Timer1 goes back on
        std::function<QString()> startFolder; // the capture folder
        std::function<QString(const QString& startFolder)> askFileName; // empty on cancel
        // Runs the continuation once the scrolled page has been repainted; by default after a
        // short delay on the event loop.
        std::function<void(std::function<void()>)> afterRepaint;
    };

    StatsPagePicture(Browser& browser, Timer& timer1, UserMessages& messages, Hooks hooks,
                     QObject* parent = nullptr);

    // "Save ADSL Line Stats Image As...". Emits finished() when done, saved or not.
    void mnuSaveImageClick();
    // Whether a picture is being taken (between the click and finished()).
    bool busy() const { return busy_; }

    // The page as shown, cut to the picture's size; null when the browser shows nothing.
    static QImage WebBrowserScreenShot(Browser& browser);

Q_SIGNALS:
    void finished(bool saved);

private:
    void grabAndSave();

    Browser& browser_;
    Timer& timer1_;
    UserMessages& messages_;
    Hooks hooks_;
    bool busy_ = false;
};
