#pragma once
// The machine's IPv4 default gateway from the kernel's route table, and the "--ipconfig" mode
// that prints it in the form the setup wizard's Find reads.
#include <QString>
#include <cstdio>
#include <optional>

class DefaultGateway {
public:
    static QString routeTablePath() { return QStringLiteral("/proc/net/route"); }

    // The gateway of the default route that is up with a non-zero gateway and the lowest metric
    // (the first such route on a tie), as "a.b.c.d"; nothing when there is none.
    static std::optional<QString> fromRouteTable(const QByteArray& table);
    static std::optional<QString> read(const QString& path = routeTablePath());

    // "Default Gateway . . . . . . . . . : a.b.c.d" and a line end, or empty text without one.
    static QString ipconfigText(const QString& path = routeTablePath());

    // The whole "--ipconfig" mode: prints ipconfigText to out; 0 when written. It needs no
    // application object, so it runs before anything else starts.
    static int runIpconfig(std::FILE* out, const QString& path = routeTablePath());
};
