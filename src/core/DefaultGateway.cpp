#include "core/DefaultGateway.h"

#include <QByteArrayList>
#include <QFile>
#include <QtEndian>

namespace {

constexpr unsigned RouteUp = 0x0001;

// The table prints each address as the hexadecimal of its four bytes read in host order.
std::optional<quint32> hexField(const QByteArray& field) {
    bool ok = false;
    const quint32 v = field.toUInt(&ok, 16);
    if (!ok || field.size() != 8)
        return std::nullopt;
    return v;
}

QString dotted(quint32 hostOrderValue) {
    uchar bytes[4];
    qToUnaligned(hostOrderValue, bytes);
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

} // namespace

std::optional<QString> DefaultGateway::fromRouteTable(const QByteArray& table) {
    std::optional<quint32> best;
    qulonglong bestMetric = 0;
    const QByteArrayList lines = table.split('\n');
    // The first line names the columns.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayList f = lines[i].simplified().split(' ');
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
        if (f.size() < 8)
            continue;
        const auto destination = hexField(f[1]);
        const auto gateway = hexField(f[2]);
        const auto mask = hexField(f[7]);
        bool flagsOk = false, metricOk = false;
        const unsigned flags = f[3].toUInt(&flagsOk, 16);
        const qulonglong metric = f[6].toULongLong(&metricOk);
        if (!destination || !gateway || !mask || !flagsOk || !metricOk)
            continue;
        if (*destination != 0 || *mask != 0 || *gateway == 0 || !(flags & RouteUp))
            continue;
        if (!best || metric < bestMetric) {
            best = *gateway;
            bestMetric = metric;
        }
    }
    if (!best)
        return std::nullopt;
    return dotted(*best);
}

std::optional<QString> DefaultGateway::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromRouteTable(file.readAll());
}

QString DefaultGateway::ipconfigText(const QString& path) {
    const auto gateway = read(path);
    if (!gateway)
        return {};
    return QStringLiteral("Default Gateway . . . . . . . . . : ") + *gateway + QLatin1Char('\n');
}

int DefaultGateway::runIpconfig(std::FILE* out, const QString& path) {
    const QByteArray text = ipconfigText(path).toUtf8();
    if (!text.isEmpty() &&
        std::fwrite(text.constData(), 1, size_t(text.size()), out) != size_t(text.size()))
        return 1;
    return std::fflush(out) == 0 ? 0 : 1;
}
