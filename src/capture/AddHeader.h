#pragma once
// The header and footer drawn on every graph image: the date and the connection speeds, the
// router uptime on images wider than 600 pixels, and a small italic product line. Fonts have
// fixed pixel sizes so that images look the same on every display.
#include <QDateTime>
#include <QImage>
#include <QString>

namespace ImageHeader {

// The texts the header shows: whole Kbps of the latest sample (empty before the first one) and
// the toolbar's uptime text.
struct Texts {
    QString rateUp;
    QString rateDown;
    QString uptime;
};

// The product line at the bottom right.
QString footerText();
// "ddd dd mmm." + 15 blanks + "Upstream Rate: ... Kbps.   Downstream Rate: ... Kbps."
QString headerLine(const Texts& texts, const QDateTime& now);

// Pixel sizes of the 8-point header and 7-point footer at 96 dots per inch.
constexpr int HeaderPixels = 11;
constexpr int FooterPixels = 9;
constexpr int UptimeMinWidth = 601;

} // namespace ImageHeader

// Draws the header onto the bitmap of a chart (the bitmap has the chart's size).
void AddHeader(QImage& bitmap, const ImageHeader::Texts& texts, const QDateTime& now);
