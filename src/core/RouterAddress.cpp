#include "core/RouterAddress.h"

#include <QStringList>

namespace {

// A run of decimal digits read as a number no greater than max; leading zeros are allowed and
// read as decimal.
std::optional<int> wholeNumber(QStringView digits, int max) {
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > max)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<QString> RouterAddress::normalised(const QString& text) {
    const QStringList fields = text.trimmed().split(QLatin1Char('.'));
    if (fields.size() < 4)
        return std::nullopt;
    QStringList numbers;
    for (int i = 0; i < 3; ++i) {
        const auto n = wholeNumber(fields[i], 255);
        if (!n)
            return std::nullopt;
        numbers << QString::number(*n);
    }
    // The fourth field may carry the port.
    const QString& last = fields[3];
    const qsizetype colon = last.indexOf(QLatin1Char(':'));
    const auto n = wholeNumber(QStringView(last).left(colon < 0 ? last.size() : colon), 255);
    if (!n)
        return std::nullopt;
    numbers << QString::number(*n);
    QString address = numbers.join(QLatin1Char('.'));
    if (colon >= 0) {
        const auto port = wholeNumber(QStringView(last).mid(colon + 1), 65535);
        if (!port || *port == 0)
            return std::nullopt;
        address += QLatin1Char(':') + QString::number(*port);
    }
    return address;
}
