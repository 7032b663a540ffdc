#include "core/LineSample.h"

#include <QRegularExpression>

qint64 LineSample::uptimeSeconds(const QString& display) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d+) days?, (\\d+):(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch m = form.match(display);
    if (!m.hasMatch())
        return -1;
    return m.captured(1).toLongLong() * 86400 + m.captured(2).toLongLong() * 3600 +
           m.captured(3).toLongLong() * 60 + m.captured(4).toLongLong();
}
