#pragma once
// The embedded browser on a real engine: a QWebEngineView on a private, off-the-record profile
// (no cache, cookies in memory only), read and driven through page JavaScript.
#include "monitor/Browser.h"

#include <QPointer>

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

class WebEngineBrowser : public Browser {
    Q_OBJECT
public:
    explicit WebEngineBrowser(QObject* parent = nullptr);
    ~WebEngineBrowser() override;

    // Engine switches for a browser that only reads one small page every few seconds; call
    // before the application object exists. A user's own QTWEBENGINE_CHROMIUM_FLAGS,
    // QT_QUICK_BACKEND or QT_XCB_GL_INTEGRATION, even an empty one, is left as it is.
    static void prepareEngine();

    void setSilent(bool silent) override;
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
    QSize viewSize() const override;
    // The view; it has the custom context-menu policy, so its owner shows its own menu on
    // customContextMenuRequested. Whoever places it in a window may take ownership of it.
    QWidget* widget() override;

private:
    // Whether the next navigation to start is the program's own.
    void expectProgramNavigation(bool due);
    void runScript(const QString& script);
    void runScript(const QString& script, TextCallback done);

    QWebEngineProfile* profile_ = nullptr;
    QWebEnginePage* page_ = nullptr;
    QPointer<QWebEngineView> view_;
    bool clearHistoryWhenLoaded_ = false;
};
