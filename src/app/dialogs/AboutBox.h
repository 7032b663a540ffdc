#pragma once
// The About box: the program's name, version and purpose, and a link that opens the program's
// own help document.
#include <QDialog>
#include <QPoint>
#include <QRect>
#include <functional>

class QLabel;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    // openHelp: what Help... does.
    explicit AboutBox(std::function<void()> openHelp, QWidget* parent = nullptr);

    // "Version 0.1.0 - 11 December 2026": the version and build date of this build.
    static QString versionText();
    // Centred on the main window's frame, halves rounded toward zero.
    static QPoint centredOn(const QRect& mainFrame, QSize boxSize);

    // The link's click: the help document, as Help... opens it.
    void Label3Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> openHelp_;
    QLabel* Label3 = nullptr;
};
