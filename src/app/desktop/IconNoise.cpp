#include "app/desktop/IconNoise.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

static void initIconResources() {
    Q_INIT_RESOURCE(resources); // the resources live in a static library
}

namespace {

QFont iconFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    // Whole pixels in one colour: at this size smoothing only blurs the digits.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

QImage IconNoise::background() {
    initIconResources();
    QImage image(QStringLiteral(":/iconbitmap"));
    return image.convertToFormat(QImage::Format_RGB32);
}

QString IconNoise::numberText(double noiseMarginDown, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(noiseMarginDown, 'g', 3);
}

QImage IconNoise::draw(const QString& state, double noiseMarginDown, double dataRateDown,
                       const QLocale& locale) {
    QImage image = background();
    if (image.isNull())
        return image; // the caller keeps the previous picture
    const QColor colour = dataRateDown != 0 ? QColor(255, 255, 0) : QColor(255, 0, 255);
    const QString number = numberText(noiseMarginDown, locale);

    // A number too wide for 15 pixels in the regular large font goes small, two pixels lower.
    const bool fits =
        QFontMetrics(iconFont(kLargePixels, false)).horizontalAdvance(number) <= kMaxLargeWidth;
    const int pixels = fits ? kLargePixels : kSmallPixels;
    const int top = fits ? 0 : 2;

    QPainter p(&image);
    p.setPen(colour);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine;
    if (state == QLatin1String("Stop")) {
        p.setFont(iconFont(kLargePixels, true));
        p.drawText(QRect(5, 0, 16, 16), flags, QStringLiteral("?"));
    } else {
        const QFont font = iconFont(pixels, true);
        p.setFont(font);
        const int w = QFontMetrics(font).horizontalAdvance(number);
        p.drawText(QRect(8 - w / 2, top, 32, 16), flags, number);
    }
    return image;
}
