#include "core/DefaultGateway.h"

#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// The kernel's table prints each address as the hexadecimal of its bytes read in host order;
// these tables are what a little-endian machine writes.
const char* const Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

// One route line: destination, gateway, flags, metric, mask.
QByteArray route(const char* iface, const char* dest, const char* gw, const char* flags,
                 const char* metric, const char* mask = "00000000") {
    return QByteArray(iface) + '\t' + dest + '\t' + gw + '\t' + flags + "\t0\t0\t" + metric + '\t' +
           mask + "\t0\t0\t0   \n";
}

struct Case {
    const char* name;
    QByteArray rows;
    const char* gateway; // nullptr: none
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class DefaultGatewayTest : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        if (Q_BYTE_ORDER == Q_BIG_ENDIAN)
            GTEST_SKIP() << "the tables are written as a little-endian machine writes them";
    }
};

TEST_P(DefaultGatewayTest, PicksTheDefaultRouteThatIsUpWithTheLowestMetric) {
    const Case& c = GetParam();
    const auto gateway = DefaultGateway::fromRouteTable(Header + c.rows);
    if (!c.gateway) {
        EXPECT_FALSE(gateway.has_value()) << gateway->toStdString();
        return;
    }
    ASSERT_TRUE(gateway.has_value());
    EXPECT_EQ(gateway->toStdString(), c.gateway);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DefaultGatewayTest,
    testing::Values(
        Case{"OneDefaultRoute", route("eth0", "00000000", "FE01A8C0", "0003", "100"),
             "192.168.1.254"},
        Case{"LowestMetricWins",
             route("wlan0", "00000000", "0100000A", "0003", "600") +
                 route("eth0", "00000000", "FE01A8C0", "0003", "100"),
             "192.168.1.254"},
        Case{"FirstOnATie",
             route("eth0", "00000000", "8A00000A", "0003", "100") +
                 route("eth1", "00000000", "FE01A8C0", "0003", "100"),
             "10.0.0.138"},
        Case{"RouteDownIgnored",
             route("eth0", "00000000", "FE01A8C0", "0002", "0") +
                 route("wlan0", "00000000", "0100000A", "0003", "600"),
             "10.0.0.1"},
        // A point-to-point link's default route has no gateway.
        Case{"NoGatewayIgnored", route("ppp0", "00000000", "00000000", "0001", "0"), nullptr},
        Case{"OtherDestinationsIgnored",
             route("eth0", "0001A8C0", "FE01A8C0", "0003", "0", "00FFFFFF") +
                 route("eth0", "00000000", "FE01A8C0", "0003", "0", "000000FF"),
             nullptr},
        Case{"DamagedLinesIgnored",
             QByteArray("eth0\tzz\n\n") + route("eth0", "00000000", "XYZ", "0003", "0") +
                 route("eth0", "00000000", "0100000A", "0003", "5"),
             "10.0.0.1"},
        Case{"HeaderOnly", QByteArray(), nullptr}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

QString fixture() {
    return qEnvironmentVariable("LINTROVE_FIXTURES") + QStringLiteral("/net/route");
}

QByteArray ipconfigOutput(const QString& path, int* status) {
    std::FILE* out = std::tmpfile();
    EXPECT_NE(out, nullptr);
    *status = DefaultGateway::runIpconfig(out, path);
    std::rewind(out);
    QByteArray text(4096, '\0');
    text.resize(qsizetype(std::fread(text.data(), 1, size_t(text.size()), out)));
    std::fclose(out);
    return text;
}

TEST(DefaultGatewayIpconfig, PrintsTheGatewayLineOfTheRouteTable) {
    if (Q_BYTE_ORDER == Q_BIG_ENDIAN)
        GTEST_SKIP() << "the fixture is what a little-endian machine writes";
    int status = -1;
    EXPECT_EQ(ipconfigOutput(fixture(), &status),
              QByteArray("Default Gateway . . . . . . . . . : 192.168.1.254\n"));
    EXPECT_EQ(status, 0);
}

TEST(DefaultGatewayIpconfig, PrintsNothingWithoutAGatewayOrTable) {
    QTemporaryDir dir;
    const QString empty = dir.filePath("route");
    QFile f(empty);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Header);
    f.close();
    for (const QString& path : {empty, dir.filePath("missing")}) {
        int status = -1;
        EXPECT_TRUE(ipconfigOutput(path, &status).isEmpty()) << path.toStdString();
        EXPECT_EQ(status, 0);
    }
}

} // namespace
