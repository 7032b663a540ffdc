#include "app/TrayIcon.h"

#include "app/IconNoise.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

TrayIcon::TrayIcon(QWidget* window, bool trayAvailable, QObject* parent)
    : QObject(parent), window_(window) {
    menu_ = new QMenu(window);
    menu_->setObjectName(QStringLiteral("TrayPopup"));
    QAction* restore = menu_->addAction(QStringLiteral("Restore Lintrove"));
    restore->setObjectName(QStringLiteral("mnuRestore"));
    menu_->addSeparator();
    QAction* close = menu_->addAction(QStringLiteral("Close Lintrove"));
    close->setObjectName(QStringLiteral("mnuClose"));
    connect(restore, &QAction::triggered, this, &TrayIcon::mnuRestoreClick);
    connect(close, &QAction::triggered, this, &TrayIcon::closeRequested);

    if (!trayAvailable)
        return;
    tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(QIcon(QPixmap::fromImage(IconNoise::background())));
    tray_->setContextMenu(menu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) // a single left click; a double click is not one
            mnuRestoreClick();
    });
}

TrayIcon::~TrayIcon() {
    if (tray_)
        tray_->hide(); // no icon left behind in the notification area
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
    setToolTipFrom(sample);
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

void TrayIcon::setToolTipFrom(const LineSample& sample) {
    noiseMarginDown_ = sample.NoiseMarginDown;
    dataRateDown_ = sample.DataRateDown;
    toolTip_ = toolTipText(noiseMarginDown_, dataRateDown_, routerText_);
    if (tray_)
        tray_->setToolTip(toolTip_);
}

void TrayIcon::setRouterText(const QString& text) {
    routerText_ = text;
    toolTip_ = toolTipText(noiseMarginDown_, dataRateDown_, routerText_);
    if (tray_)
        tray_->setToolTip(toolTip_);
}

void TrayIcon::windowMinimized() {
    if (!tray_ || !minimizeToTray_ || !window_)
        return;
    // Hiding inside the state change itself confuses some window managers.
    QTimer::singleShot(0, this, [this] {
        if (window_->isMinimized()) {
            window_->hide();
            showIcon();
        }
    });
}

bool TrayIcon::startInTray() {
    if (!tray_ || !minimizeToTray_ || !window_)
        return false;
    window_->hide();
    showIcon();
    return true;
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
