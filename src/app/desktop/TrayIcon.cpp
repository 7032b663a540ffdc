#include "app/desktop/TrayIcon.h"

#include "app/desktop/IconNoise.h"
#include "core/ReadingText.h"
#include "core/Timer.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

TrayIcon::TrayIcon(QWidget* window, TrayAvailability trayAvailable,
                   std::unique_ptr<Timer> trayWatch, QObject* parent)
    : QObject(parent), window_(window), trayAvailable_(std::move(trayAvailable)),
      trayWatch_(trayWatch ? std::move(trayWatch) : makeQtTimer(kTrayWatchMs)) {
    menu_ = new QMenu(window);
    menu_->setObjectName(QStringLiteral("TrayPopup"));
    QAction* restore = menu_->addAction(QStringLiteral("Restore Lintrove"));
    restore->setObjectName(QStringLiteral("mnuRestore"));
    menu_->addSeparator();
    QAction* close = menu_->addAction(QStringLiteral("Close Lintrove"));
    close->setObjectName(QStringLiteral("mnuClose"));
    connect(restore, &QAction::triggered, this, &TrayIcon::mnuRestoreClick);
    connect(close, &QAction::triggered, this, &TrayIcon::closeRequested);

    // Made whether or not a tray is there now: one may come later, and the icon is then ready.
    const QIcon icon = programIcon();
    tray_ = new QSystemTrayIcon(icon, this);
    tray_->setContextMenu(menu_);
    QApplication::setWindowIcon(icon);
    if (window_)
        window_->setWindowIcon(icon);
    trayWatch_->setEnabled(false);
    trayWatch_->setInterval(kTrayWatchMs);
    trayWatch_->setHandler([this] { trayWatchTimer(); });
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) // a single left click; a double click is not one
            mnuRestoreClick();
    });
}

TrayIcon::~TrayIcon() {
    if (tray_)
        tray_->hide(); // no icon left behind in the notification area
}

QIcon TrayIcon::programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/appicon/%1").arg(size), QSize(size, size));
    return icon;
}

void TrayIcon::IconNoise(const QString& state, const LineSample& sample) {
    const QImage picture =
        ::IconNoise::draw(state, sample.NoiseMarginDown, sample.DataRateDown, QLocale());
    if (!picture.isNull()) {
        const QIcon icon(QPixmap::fromImage(picture));
        QApplication::setWindowIcon(icon);
        if (window_)
            window_->setWindowIcon(icon);
        if (tray_)
            tray_->setIcon(icon);
    }
}

QString TrayIcon::toolTipText(double noiseMarginDown, double dataRateDown,
                              const QString& routerText) {
    QString text = QStringLiteral("Lintrove\nNoise margin: ") +
                   QString::number(noiseMarginDown, 'g', 15) + QStringLiteral(" dB\nSync speed: ") +
                   QString::number(dataRateDown, 'g', 15) + QStringLiteral(" Kbps");
    if (!routerText.isEmpty())
        text += u'\n' + routerText;
    return text;
}

QString TrayIcon::toolTipFor(const std::optional<LineReading>& last,
                             const std::optional<LineReading>& lastRead,
                             const QString& routerText) {
    if (last && last->state == LineReading::State::Synced)
        return toolTipText(last->sample.NoiseMarginDown, last->sample.DataRateDown, routerText);
    const QString line = ReadingText::stateLine(routerText, last, lastRead);
    return line.isEmpty() ? QStringLiteral("Lintrove") : QStringLiteral("Lintrove\n") + line;
}

void TrayIcon::setReading(const LineReading& reading) {
    last_ = reading;
    if (reading.isRead())
        lastRead_ = reading;
    renewToolTip();
}

void TrayIcon::setRouterText(const QString& text) {
    routerText_ = text;
    renewToolTip();
}

void TrayIcon::renewToolTip() {
    toolTip_ = toolTipFor(last_, lastRead_, routerText_);
    if (tray_)
        tray_->setToolTip(toolTip_);
}

void TrayIcon::windowMinimized() {
    if (!minimizeToTray_ || !window_)
        return;
    // Hiding inside the state change itself confuses some window managers.
    QTimer::singleShot(0, this, [this] {
        if (!window_->isMinimized() || dialogOpen())
            return;
        if (trayAvailable_())
            moveIntoTray();
        else
            trayWatch_->setEnabled(true);
    });
}

// Asking again is cheap, and works for every kind of tray the desktop may bring up (an X11
// panel's or a D-Bus status notifier host), where no one notice covers them all.
void TrayIcon::trayWatchTimer() {
    const bool waiting =
        minimizeToTray_ && window_ && window_->isVisible() && window_->isMinimized();
    if (!waiting) {
        trayWatch_->setEnabled(false);
        return;
    }
    if (trayAvailable_() && !dialogOpen()) {
        trayWatch_->setEnabled(false);
        moveIntoTray();
    }
}

// A modal dialog holds every other window of the program, the tray icon's too: hidden in the
// tray, the window could not be brought back until the dialog, minimized with it, was found on
// the taskbar and closed. With a dialog open the window is minimized as usual.
bool TrayIcon::dialogOpen() {
    return QApplication::activeModalWidget() != nullptr;
}

bool TrayIcon::startInTray() {
    if (!minimizeToTray_ || !window_ || !trayAvailable_())
        return false;
    moveIntoTray();
    return true;
}

void TrayIcon::moveIntoTray() {
    window_->hide();
    showIcon();
}

void TrayIcon::showIcon() {
    if (tray_)
        tray_->show();
}

void TrayIcon::mnuRestoreClick() {
    if (window_) {
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
    }
    trayWatch_->setEnabled(false);
    if (tray_)
        tray_->hide();
}

bool TrayIcon::isIconVisible() const {
    return tray_ && tray_->isVisible();
}

QPoint TrayIcon::closeQuestionTopLeft(const QRect& screen) const {
    if (!isIconVisible())
        return {};
    return {screen.right() + 1 - 350, screen.bottom() + 1 - 200};
}
