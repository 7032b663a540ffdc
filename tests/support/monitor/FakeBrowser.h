#pragma once
// A scripted browser for tests: the test sets the page shown and completes loads by hand; every
// call is recorded in order. Reads answer at once, or on request when deferred.
#include "monitor/Browser.h"

#include <QList>
#include <QStringList>
#include <deque>

class FakeBrowser final : public Browser {
    Q_OBJECT
public:
    struct Navigation {
        QString url;
        bool withoutHistoryOrCache = false;
        bool operator==(const Navigation&) const = default;
    };

    explicit FakeBrowser(QObject* parent = nullptr) : Browser(parent) {}

    // --- Scripting -------------------------------------------------------------------------
    // The markup that readBodyHtml answers from now on.
    void setPage(const QString& markup) { markup_ = markup; }
    // From now on readBodyHtml finds no markup at all (a document without a body).
    void setUnreadablePage() { markup_ = std::nullopt; }
    QString page() const { return markup_.value_or(QString()); }
    // Emits documentComplete, as a finished load does: by default one the program asked for.
    void completeLoad(bool requestedByProgram = true, bool loadFailed = false) {
        Q_EMIT documentComplete(requestedByProgram, loadFailed);
    }
    // setPage, then completeLoad: a page the program asked for.
    void loadPage(const QString& markup) {
        setPage(markup);
        completeLoad();
    }
    // A page the user opened with a click in the view.
    void loadUserPage(const QString& markup) {
        setPage(markup);
        completeLoad(false);
    }
    // A load the engine could not make (connection refused, no route): its error page.
    void
    loadFailedPage(const QString& markup = QStringLiteral("<h1>This site can't be reached</h1>")) {
        setPage(markup);
        completeLoad(true, true);
    }

    // The user opens a page in the view while the program's is still loading.
    void abandonProgramLoad() { Q_EMIT programLoadAbandoned(); }

    // When deferred, readBodyHtml only queues its callback; answerRead() answers the oldest.
    void setDeferredReads(bool deferred) { deferred_ = deferred; }
    int pendingReads() const { return static_cast<int>(pending_.size()); }
    // Answers the oldest pending read with the page shown now; returns false when none waits.
    bool answerRead();
    // Answers the oldest pending read with this text instead of the page.
    bool answerRead(const QString& text);
    // Answers the oldest pending read with no markup at all.
    bool answerReadUnreadable();

    // Run after the call is recorded, so that a test can play the router's part.
    std::function<void(const Navigation&)> onNavigate;
    std::function<void(int index)> onClickLink;

    // --- Recorded calls --------------------------------------------------------------------
    // Every call in order, one text each: "silent 1", "ensureWindow", "navigate <url>",
    // "navigate! <url>" (without history or cache), "refresh", "stop", "read",
    // "setField <form> <name> <value>", "scrollBy <dx> <dy>", "clickLink <n>", "selectAll".
    QStringList calls;
    QList<Navigation> navigations;
    bool silent = false;
    int windowsCreated = 0;

    int count(const QString& call) const { return static_cast<int>(calls.count(call)); }
    // Calls whose text starts with prefix.
    QStringList callsStartingWith(const QString& prefix) const;
    void clearCalls() {
        calls.clear();
        navigations.clear();
    }

    // Answers of the other operations.
    QString selectedText;
    QSize size{800, 600};

    // --- Browser ---------------------------------------------------------------------------
    void setSilent(bool on) override;
    void ensureWindow() override;
    void navigate(const QString& url, bool withoutHistoryOrCache = false) override;
    void refresh() override;
    void stop() override;
    void readBodyHtml(MarkupCallback done) override;
    void setFormFieldValue(int formIndex, const QString& fieldName, const QString& value) override;
    void scrollBy(int dx, int dy) override;
    void scrollInSteps(const QList<QPoint>& steps, std::function<void()> done) override;
    void clickLink(int index) override;
    void readSelectedText(TextCallback done) override;
    void selectAll() override;
    QImage grab() override;
    QSize viewSize() const override { return size; }
    QWidget* widget() override { return nullptr; }

private:
    std::optional<QString> markup_ = QString();
    bool deferred_ = false;
    std::deque<MarkupCallback> pending_;
};
