#pragma once
// The notification-area icon: the noise-margin picture (also the window's icon), the tooltip
// (the last reading's values while it had sync, and the router's state), the menu "Restore
// Lintrove" / "Close Lintrove" and minimizing to the tray. Without a system tray minimizing stays
// ordinary; a tray that comes later (a panel starting after the program) takes the minimized window
// then.
#include "core/LineReading.h"
#include "core/LineSample.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>

class Timer;

class QAction;
class QMenu;
class QWidget;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // Whether the desktop has a system tray at this moment.
    using TrayAvailability = std::function<bool()>;
    // How often a minimized window waiting for a tray asks again.
    static constexpr int kTrayWatchMs = 3000;

    // trayWatch is that timer (a Qt timer when none is given).
    explicit TrayIcon(QWidget* window,
                      TrayAvailability trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable,
                      std::unique_ptr<Timer> trayWatch = {}, QObject* parent = nullptr);
    ~TrayIcon() override;

    // The desktop entry's icon, in all its sizes: the window and the tray show it until the first
    // sample draws the number.
    static QIcon programIcon();

    // Redraws the picture from the sample ("Stop": "?") into the window and tray icons. A
    // picture that cannot be drawn leaves the previous one. The tooltip is the readings' own.
    void IconNoise(const QString& state, const LineSample& sample);
    // After every handled reading, read or not.
    void setReading(const LineReading& reading);
    // The router's state, the tooltip's last line.
    void setRouterText(const QString& text);
    // A reading with sync: "Lintrove\nNoise margin: 6.2 dB\nSync speed: 1500 Kbps" and the
    // router's state under it.
    static QString toolTipText(double noiseMarginDown, double dataRateDown,
                               const QString& routerText = QString());
    // The tooltip for the last reading: its values only while it had sync. Without sync the
    // router's state says since when; while the router is not read, it is followed by the last
    // reading that was ("Not responding since 10:31:05; last reading 10:30:35: 6.2 dB,
    // 15,623 Kbps"), never by the unread reading's zeros.
    static QString toolTipFor(const std::optional<LineReading>& last,
                              const std::optional<LineReading>& lastRead,
                              const QString& routerText);

    // cbMinimizeClick, and start-up from the setting.
    void setMinimizeToTray(bool on) { minimizeToTray_ = on; }
    bool minimizeToTray() const { return minimizeToTray_; }

    // The window reports each minimize: with the option on and a tray, the window is hidden on
    // the next turn of the event loop and the icon shown. Without a tray yet, the window stays
    // on the taskbar and goes into the tray as soon as one appears while it is still minimized.
    void windowMinimized();
    // "Start minimized" with the option: straight into the tray. False when it does not apply
    // (option off or no tray now), and the window minimizes as usual.
    bool startInTray();
    // mnuRestoreClick: a left click on the icon or "Restore Lintrove".
    void mnuRestoreClick();

    bool trayAvailable() const { return trayAvailable_(); }
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
    void moveIntoTray();
    static bool dialogOpen();
    void trayWatchTimer();
    void renewToolTip();

    QWidget* window_;
    TrayAvailability trayAvailable_;
    std::unique_ptr<Timer> trayWatch_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
    bool minimizeToTray_ = false;
    QString toolTip_;
    std::optional<LineReading> last_, lastRead_; // the last reading, the last one read
    QString routerText_;
};
