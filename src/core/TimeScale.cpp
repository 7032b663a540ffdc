#include "core/TimeScale.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

std::optional<TimeScale> TimeScale::parse(const QString& text, qint64 nowMs, QString* error) {
    auto fail = [&](const QString& why) -> std::optional<TimeScale> {
        if (error)
            *error = QStringLiteral("%1=\"%2\": %3").arg(QLatin1String(EnvironmentName), text, why);
        return std::nullopt;
    };
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype at = text.indexOf(u'@');
    bool ok = false;
    const double scale = text.left(at).toDouble(&ok);
    if (!ok || !(scale >= 1 && scale <= 10000))
        return fail(QStringLiteral("the scale must be a number from 1 to 10000"));
    qint64 origin = nowMs;
    if (at >= 0) {
        origin = text.mid(at + 1).toLongLong(&ok);
        if (!ok || origin < 0)
            return fail(QStringLiteral("the origin must be milliseconds since 1970"));
    }
    return TimeScale(scale, origin);
}

std::optional<TimeScale> TimeScale::fromEnvironment(QString* error) {
    return parse(qEnvironmentVariable(EnvironmentName), QDateTime::currentMSecsSinceEpoch(), error);
}

QDateTime TimeScale::programTime(const QDateTime& real) const {
    const double elapsed = double(real.toMSecsSinceEpoch() - originMs_) * scale_;
    return QDateTime::fromMSecsSinceEpoch(originMs_ + qint64(std::llround(elapsed)));
}

int TimeScale::realInterval(int programMs) const {
    return std::max(1, int(std::lround(programMs / scale_)));
}
