#pragma once
// The program's own window for its help document, for desktops that cannot open it: the embedded
// browser with Back, Forward and Close. Only local pages are shown in it; a web address in the
// help goes to the desktop, and nothing is fetched from the network here. Pages run no scripts
// and read no other files.
#include <QUrl>
#include <QWidget>

class DesktopShell;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(DesktopShell& shell, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Shows the document and brings the window forward. A window already open stays on the page
    // the user reached; a closed one opens at the document.
    void showDocument(const QString& path);
    // The page shown (or being loaded).
    QUrl url() const;

private:
    void updateButtons();

    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QPushButton *btnHelpBack = nullptr, *btnHelpForward = nullptr, *btnHelpClose = nullptr;
    bool placed_ = false;
};
