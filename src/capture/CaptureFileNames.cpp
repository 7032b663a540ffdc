#include "capture/CaptureFileNames.h"

#include "core/FormatDateTime.h"
#include "storage/Settings.h"

QString CaptureFileNames::prefix(const Settings& settings) {
    return settings.AddPrefix ? settings.ImagePrefix : QString();
}

QString CaptureFileNames::stamp(const Settings& settings, const QDateTime& now) {
    return FormatDateTime(settings.ImageDateFormat, now);
}

QString CaptureFileNames::fileName(const Settings& settings, const QString& base,
                                   const QDateTime& now) {
    return prefix(settings) + base + QLatin1Char('-') + stamp(settings, now) +
           QStringLiteral(".jpg");
}

namespace {

QString secondUserGraph(const QString& userGraph1, const QString& userGraph2) {
    return userGraph2 == userGraph1 ? userGraph2 + QStringLiteral("-2") : userGraph2;
}

} // namespace

QString CaptureFileNames::allGraphsBase(int chart, const QString& userGraph1,
                                        const QString& userGraph2) {
    switch (chart) {
    case 0:
        return QStringLiteral("NoiseMargin");
    case 1:
        return QStringLiteral("ConnectionSpeed");
    case 2:
        return userGraph1;
    default:
        return secondUserGraph(userGraph1, userGraph2);
    }
}

QString CaptureFileNames::visibleBase(int tab, const QString& userGraph1, const QString& userGraph2,
                                      const QString& otherTabCaption) {
    switch (tab) {
    case 1:
        return QStringLiteral("Noise Margin");
    case 2:
        return QStringLiteral("Connection Speed");
    case 3:
        return userGraph1;
    case 4:
        return secondUserGraph(userGraph1, userGraph2);
    default:
        return otherTabCaption;
    }
}

bool CaptureFileNames::isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}
