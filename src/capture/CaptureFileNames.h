#pragma once
// The names of captured images: prefix, the graph's name, the time stamp and ".jpg". A name
// that would not be a plain file name in the capture folder ("/" or NUL in the prefix or the
// date format's result) is refused.
#include <QDateTime>
#include <QString>

struct Settings;

class CaptureFileNames {
public:
    // ImagePrefix when AddPrefix is on, else empty.
    static QString prefix(const Settings& settings);
    // The current time formatted with ImageDateFormat.
    static QString stamp(const Settings& settings, const QDateTime& now);
    // prefix + base + "-" + stamp + ".jpg".
    static QString fileName(const Settings& settings, const QString& base, const QDateTime& now);

    // The graph's part of a name when all graphs are captured (chart 0..3): "NoiseMargin",
    // "ConnectionSpeed", then the user graphs' names; the second user graph gets "-2" when both
    // show the same quantity, so that one image does not overwrite the other.
    static QString allGraphsBase(int chart, const QString& userGraph1, const QString& userGraph2);
    // The graph's part when the visible graph is captured: the caption of the active tab (tab 1
    // "Noise Margin", 2 "Connection Speed", 3 and 4 the user graphs' names, "-2" as above);
    // otherTabCaption is used for any other tab.
    static QString visibleBase(int tab, const QString& userGraph1, const QString& userGraph2,
                               const QString& otherTabCaption);

    // A name that stays inside its folder: not empty, no "/" and no NUL.
    static bool isPlainName(const QString& name);
};
