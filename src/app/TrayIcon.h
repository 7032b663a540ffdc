#pragma once
// The notification-area icon: the noise-margin picture (also the window's icon), the tooltip
// (the values and the router's state), the menu "Restore Lintrove" / "Close Lintrove" and
// minimizing to the tray. Without a system tray nothing is shown and minimizing stays ordinary.
#include "core/LineSample.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSystemTrayIcon>

class QAction;
class QMenu;
class QWidget;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(QWidget* window, bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable(),
             QObject* parent = nullptr);
    ~TrayIcon() override;

    // Redraws the picture from the sample ("Stop": "?") into the window and tray icons and
    // renews the tooltip. A picture that cannot be drawn leaves the previous one.
    void IconNoise(const QString& state, const LineSample& sample);
    // After every completed page.
    void setToolTipFrom(const LineSample& sample);
    // The router's state, the tooltip's last line.
    void setRouterText(const QString& text);
    static QString toolTipText(double noiseMarginDown, double dataRateDown,
                               const QString& routerText = QString());

    // cbMinimizeClick, and start-up from the setting.
    void setMinimizeToTray(bool on) { minimizeToTray_ = on; }
    bool minimizeToTray() const { return minimizeToTray_; }

    // The window reports each minimize: with the option on and a tray, the window is hidden on
    // the next turn of the event loop and the icon shown.
    void windowMinimized();
    // "Start minimized" with the option: straight into the tray. False when it does not apply
    // (option off or no tray), and the window minimizes as usual.
    bool startInTray();
    // mnuRestoreClick: a left click on the icon or "Restore Lintrove".
    void mnuRestoreClick();

    bool trayAvailable() const { return tray_ != nullptr; }
    bool isIconVisible() const;
    QString toolTip() const { return toolTip_; }
    QMenu* TrayPopup() const { return menu_; }
    // Where the close question goes while the icon is shown: 350 pixels left of the right
    // screen edge and 200 above the bottom. A null point otherwise (centred on the window).
    QPoint closeQuestionTopLeft(const QRect& screen) const;

Q_SIGNALS:
    // mnuCloseClick: the window runs its close sequence.
    void closeRequested();

private:
    void showIcon();

    QWidget* window_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
    bool minimizeToTray_ = false;
    QString toolTip_;
    double noiseMarginDown_ = 0, dataRateDown_ = 0; // the values the tooltip shows
    QString routerText_;
};
