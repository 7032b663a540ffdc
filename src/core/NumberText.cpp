#include "core/NumberText.h"

#include <QRegularExpression>
#include <cmath>

bool TryParseRouterNumber(QStringView text, double& value) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?$"));
    const QString trimmed = text.trimmed().toString();
    if (!number.match(trimmed).hasMatch())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > kRouterNumberLimit)
        return false;
    value = v;
    return true;
}

double ParseRouterNumber(QStringView text) {
    double v = 0;
    return TryParseRouterNumber(text, v) ? v : 0.0;
}

QString FormatHashes(double value, const QLocale& locale) {
    const double rounded = std::round(value * 100.0) / 100.0;
    QString s = QString::number(rounded, 'f', 2);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    s.replace(QLatin1Char('.'), locale.decimalPoint());
    return s;
}
