#include "core/GatewayOutput.h"

#include "core/RouterAddress.h"

GatewayOutput::Result GatewayOutput::parse(const QString& output) {
    const qsizetype at = output.indexOf(label(), 0, Qt::CaseSensitive);
    if (at < 0)
        return {};
    // Only the characters close behind the label count, so an address further on (a second
    // adapter's gateway) is never taken for this one.
    QString rest = output.mid(at + label().size(), 45);
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        rest = rest.mid(colon + 1);
    QString kept;
    if (rest.size() > 4) {
        for (QChar c : rest) {
            if (c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
                kept += c;
        }
    }
    const auto address = RouterAddress::normalised(kept);
    if (!address)
        return {Outcome::Unusable, {}};
    return {Outcome::Found, *address};
}
