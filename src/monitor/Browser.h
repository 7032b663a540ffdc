#pragma once
// The embedded browser as the monitor uses it: load a page, read its markup, fill in and submit
// the login form, scroll, select and grab. Reads of the page are asynchronous (callbacks).
// WebEngineBrowser is the real one; tests use a fake.
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

class Browser : public QObject {
    Q_OBJECT
public:
    using TextCallback = std::function<void(const QString&)>;
    // The page's markup, or nothing when none can be obtained at all (a document without a body,
    // a page that cannot be asked). Empty markup is a page like any other.
    using MarkupCallback = std::function<void(const std::optional<QString>& markup)>;

    explicit Browser(QObject* parent = nullptr) : QObject(parent) {}

    // Pages never open dialogs of their own.
    virtual void setSilent(bool silent) = 0;
    // Creates the view's window if it is missing, so loading works on a hidden tab.
    virtual void ensureWindow() = 0;
    // Loads the address; withoutHistoryOrCache is the "no history, no cache" navigation.
    virtual void navigate(const QString& url, bool withoutHistoryOrCache = false) = 0;
    // Reloads the page shown, completely.
    virtual void refresh() = 0;
    // No further loading or page script from the current load.
    virtual void stop() = 0;

    // document.body.innerHTML of the page shown.
    virtual void readBodyHtml(MarkupCallback done) = 0;
    // Sets the value of the named element of form formIndex when it is an INPUT element;
    // nothing happens otherwise.
    virtual void setFormFieldValue(int formIndex, const QString& fieldName,
                                   const QString& value) = 0;
    // Scrolls the page view by (dx, dy) pixels.
    virtual void scrollBy(int dx, int dy) = 0;
    // Scrolls by each step in turn in one script, then calls done once the page has taken the
    // scroll (its next repaint may still be on the way).
    virtual void scrollInSteps(const QList<QPoint>& steps, std::function<void()> done) = 0;
    // Clicks link number index (0-based) of the page, if it has one; the page it opens is the
    // program's.
    virtual void clickLink(int index) = 0;
    // The selected text of the page, empty if none.
    virtual void readSelectedText(TextCallback done) = 0;
    // Selects the whole page.
    virtual void selectAll() = 0;
    // The page as shown, painted into an image of the view's size.
    virtual QImage grab() = 0;
    virtual QSize viewSize() const = 0;
    // The view to place in a window; nullptr for a browser without one.
    virtual QWidget* widget() = 0;

Q_SIGNALS:
    // A load finished, successfully or not: a failed load (router unreachable) is still a
    // completed page, the engine's error page, with loadFailed set. requestedByProgram: the
    // program asked for the page (navigate, refresh, the program's own clickLink, and the
    // redirects that follow them); false for a page the user opened in the view. A load that
    // was stopped, or replaced by another before it finished, never completes.
    void documentComplete(bool requestedByProgram, bool loadFailed);
    // The user opened a page in the view while a page the program asked for was still loading:
    // that load is replaced and never completes. Nothing was measured by it.
    void programLoadAbandoned();
};
