#include "capture/AddHeader.h"

#include "core/BuildInfo.h"
#include "core/FormatDateTime.h"

#include <QFont>
#include <QPainter>

namespace ImageHeader {

QString footerText() {
    return QStringLiteral("Lintrove5A - Version ") + BuildInfo::version();
}

QString headerLine(const Texts& texts, const QDateTime& now) {
    return FormatDateTime(QStringLiteral("ddd dd mmm"), now) + QLatin1Char('.') +
           QString(15, QLatin1Char(' ')) + QStringLiteral("Upstream Rate: ") + texts.rateUp +
           QStringLiteral(" Kbps.   Downstream Rate: ") + texts.rateDown + QStringLiteral(" Kbps.");
}

} // namespace ImageHeader

namespace {

// Text whose top-left corner is at (x, y), as the positions are given.
void textAt(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics(painter.font());
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
}

} // namespace

void AddHeader(QImage& bitmap, const ImageHeader::Texts& texts, const QDateTime& now) {
    if (bitmap.isNull())
        return;
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The painter's background stays transparent: only the glyphs are drawn.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(ImageHeader::HeaderPixels);
    painter.setFont(font);
    painter.setPen(Qt::black);
    textAt(painter, 20, 1, ImageHeader::headerLine(texts, now));
    if (bitmap.width() >= ImageHeader::UptimeMinWidth)
        textAt(painter, 450, 1, QStringLiteral("Uptime: ") + texts.uptime);

    font.setPixelSize(ImageHeader::FooterPixels);
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(QColor(160, 160, 164));
    textAt(painter, bitmap.width() - 175, bitmap.height() - 62, ImageHeader::footerText());
}
