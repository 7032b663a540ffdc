#include "app/tabs/StatsPagePicture.h"

#include "capture/JpegWriter.h"
#include "capture/PagePicture.h"
#include "core/Timer.h"
#include "core/UserMessages.h"
#include "monitor/Browser.h"

#include <QPointer>
#include <QTimer>

namespace {

// The engine composes the scrolled page a frame or two after the script ran.
constexpr int kRepaintDelayMs = 120;

} // namespace

StatsPagePicture::StatsPagePicture(Browser& browser, Timer& timer1, UserMessages& messages,
                                   Hooks hooks, QObject* parent)
    : QObject(parent), browser_(browser), timer1_(timer1), messages_(messages),
      hooks_(std::move(hooks)) {
    if (!hooks_.afterRepaint)
        hooks_.afterRepaint = [this](std::function<void()> next) {
            QTimer::singleShot(kRepaintDelayMs, this, std::move(next));
        };
}

QImage StatsPagePicture::WebBrowserScreenShot(Browser& browser) {
    const QSize viewSize = browser.viewSize();
    return PagePicture::fromGrab(browser.grab(), viewSize);
}

void StatsPagePicture::mnuSaveImageClick() {
    if (busy_)
        return;
    busy_ = true;
    // No reload while the picture is taken and the dialog is open.
    timer1_.setEnabled(false);
    QPointer<StatsPagePicture> self(this);
    // A page shown from its top ends up shown from 270 pixels down.
    browser_.scrollInSteps({QPoint(0, -300), QPoint(0, 270)}, [self] {
        if (!self)
            return;
        self->hooks_.afterRepaint([self] {
            if (self)
                self->grabAndSave();
        });
    });
}

void StatsPagePicture::grabAndSave() {
    const QImage picture = WebBrowserScreenShot(browser_);
    bool saved = false;
    if (picture.isNull()) {
        messages_.error(QStringLiteral("There is no page to save."));
    } else {
        const QString start = hooks_.startFolder ? hooks_.startFolder() : QString();
        const QString path = hooks_.askFileName ? hooks_.askFileName(start) : QString();
        if (!path.isEmpty()) {
            QString error;
            saved = JpegWriter::write(picture, path, &error);
            if (!saved)
                messages_.error(QStringLiteral("Unable to save ") + path + QLatin1Char('\n') +
                                error);
        }
    }
    timer1_.setEnabled(hooks_.running && hooks_.running());
    busy_ = false;
    Q_EMIT finished(saved);
}
