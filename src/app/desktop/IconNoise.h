#pragma once
// The 16 x 16 picture of the application and tray icons: the downstream noise margin in yellow
// (magenta without sync) over the "iconbitmap" rows, or "?" while paused. Fixed pixel sizes keep
// it the same on every display.
#include <QImage>
#include <QLocale>
#include <QString>

class IconNoise {
public:
    // state "Stop" draws "?"; any other state the number.
    static QImage draw(const QString& state, double noiseMarginDown, double dataRateDown,
                       const QLocale& locale = QLocale());

    // The number as drawn: at most three significant digits, the locale's decimal separator.
    static QString numberText(double noiseMarginDown, const QLocale& locale = QLocale());

    // The "iconbitmap" resource: solid rows, black in the middle.
    static QImage background();

    static constexpr int kLargePixels = 11; // 8 points at 96 dpi
    static constexpr int kSmallPixels = 8;  // 6 points at 96 dpi
    static constexpr int kMaxLargeWidth = 15;
};
