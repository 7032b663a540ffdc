// The simulated router's switches for soak runs: an unreachable router (down), a slow one
// (slow), and the record of every answer that a soak compares with what the program logged.
#include "monitor/RouterSim.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kPassword = QStringLiteral("soak-pw");
const QString kStats = QStringLiteral("/index.cgi?active_page=9143");

// One raw exchange on a fresh connection: the whole reply as the server sent it (empty when the
// server closed the connection without answering).
QByteArray exchange(int port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    if (!socket.waitForConnected(10000))
        return QByteArray();
    socket.write(request);
    QByteArray reply;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        reply += socket.readAll();
    return reply + socket.readAll();
}

// Logs in as the program does and returns the session cookie ("urn=..."), empty on failure.
QString logIn(RouterSim& sim) {
    int status = 0;
    sim.get(kStats, &status); // a login page with a fresh field
    const QString field = sim.state().value(QStringLiteral("lastFieldName")).toString();
    const QByteArray body =
        (field + u'=' + kPassword + QStringLiteral("&active_page=9143")).toUtf8();
    const QByteArray reply =
        exchange(sim.port(), "POST /login.cgi HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                                 QByteArray::number(body.size()) + "\r\n\r\n" + body);
    static const QRegularExpression cookie(QStringLiteral("Set-Cookie: (urn=[0-9a-f]+)"));
    return cookie.match(QString::fromLatin1(reply)).captured(1);
}

QByteArray statsPage(int port, const QString& cookie) {
    return exchange(port, "GET " + kStats.toUtf8() + " HTTP/1.0\r\nHost: 127.0.0.1\r\nCookie: " +
                              cookie.toUtf8() + "\r\n\r\n");
}

class RouterSimSwitches : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        recordPath = dir.filePath(QStringLiteral("record.txt"));
        ASSERT_TRUE(sim.start(kPassword, {QStringLiteral("--record"), recordPath}))
            << sim.error().toStdString();
    }
    QStringList recordLines() const {
        QFile file(recordPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString recordPath;
    RouterSim sim;
};

TEST_F(RouterSimSwitches, DownDropsEveryPageButKeepsTheControlEndpointsAndComesBack) {
    const QString cookie = logIn(sim);
    ASSERT_FALSE(cookie.isEmpty());
    ASSERT_EQ(sim.set(QStringLiteral("down=1"))
                  .value(QStringLiteral("switches"))
                  .toObject()
                  .value(QStringLiteral("down")),
              true);

    // No status line, no body: the connection is closed unanswered, for pages and logins alike.
    for (const QString& path : {kStats, QStringLiteral("/"), QStringLiteral("/login.cgi")}) {
        int status = -1;
        EXPECT_TRUE(sim.get(path, &status).isEmpty()) << path.toStdString();
        EXPECT_EQ(status, 0) << path.toStdString();
    }
    EXPECT_TRUE(statsPage(sim.port(), cookie).isEmpty());
    EXPECT_FALSE(sim.state().isEmpty()); // still controllable while down

    sim.set(QStringLiteral("down=0"));
    const QByteArray reply = statsPage(sim.port(), cookie);
    EXPECT_TRUE(reply.startsWith("HTTP/1.0 200") || reply.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(reply.contains("Information for Helpdesk agents")) << reply.left(300).data();
}

TEST_F(RouterSimSwitches, SlowDelaysPagesButNotTheControlEndpoints) {
    ASSERT_EQ(sim.set(QStringLiteral("slow=400"))
                  .value(QStringLiteral("switches"))
                  .toObject()
                  .value(QStringLiteral("slow")),
              400);
    QElapsedTimer waited;
    waited.start();
    int status = 0;
    sim.get(kStats, &status);
    EXPECT_EQ(status, 200);
    EXPECT_GE(waited.elapsed(), 400);

    sim.set(QStringLiteral("slow=0"));
    waited.restart();
    sim.get(kStats, &status);
    EXPECT_EQ(status, 200);
    EXPECT_LT(waited.elapsed(), 400) << "slow=0 must end the delay";
}

TEST_F(RouterSimSwitches, RetrainAndRestartChangeTheRatesAndRestartTheUptime) {
    const QString cookie = logIn(sim);
    ASSERT_FALSE(cookie.isEmpty());
    const auto page = [&] {
        EXPECT_TRUE(statsPage(sim.port(), cookie).contains("Helpdesk"));
        const QJsonObject s = sim.state();
        EXPECT_TRUE(s.value(QStringLiteral("synced")).toBool());
        return std::tuple{s.value(QStringLiteral("dataRateUp")).toInt(),
                          s.value(QStringLiteral("dataRateDown")).toInt(),
                          s.value(QStringLiteral("uptimeSeconds")).toInteger()};
    };
    const auto [up0, down0, uptime0] = page();
    const auto [up1, down1, uptime1] = page();
    EXPECT_EQ(std::pair(up1, down1), std::pair(up0, down0)); // steady without a switch
    ASSERT_GE(uptime0, 86400);

    sim.set(QStringLiteral("retrain=1"));
    const auto [up2, down2, uptime2] = page();
    EXPECT_NE(std::pair(up2, down2), std::pair(up1, down1));
    EXPECT_GE(uptime2, uptime1);
    const auto [up3, down3, uptime3] = page(); // once only
    EXPECT_EQ(std::pair(up3, down3), std::pair(up2, down2));

    sim.set(QStringLiteral("restart=1"));
    const auto [up4, down4, uptime4] = page();
    EXPECT_NE(std::pair(up4, down4), std::pair(up3, down3));
    EXPECT_LT(uptime4, 60);
    EXPECT_LT(uptime4, uptime3);
}

TEST_F(RouterSimSwitches, BadValuesAreRefusedAndChangeNothing) {
    struct Case {
        const char* query;
    };
    const Case cases[] = {{"slow=-1"},    {"slow=abc"},      {"slow=600001"},       {"down=2"},
                          {"down="},      {"down=1&slow=x"}, {"slow=100&down=yes"}, {"retrain=2"},
                          {"restart=yes"}};
    for (const Case& c : cases) {
        int status = 0;
        sim.get(QStringLiteral("/sim/set?") + QString::fromLatin1(c.query), &status);
        EXPECT_EQ(status, 400) << c.query;
    }
    const QJsonObject switches = sim.state().value(QStringLiteral("switches")).toObject();
    EXPECT_EQ(switches.value(QStringLiteral("slow")), 0);
    EXPECT_EQ(switches.value(QStringLiteral("down")), false);
}

TEST_F(RouterSimSwitches, RecordHoldsEveryAnswerAndTheValuesOfEachStatisticsPage) {
    const QString cookie = logIn(sim);
    ASSERT_FALSE(cookie.isEmpty());
    ASSERT_TRUE(statsPage(sim.port(), cookie).contains("Helpdesk"));
    const QJsonObject synced = sim.state();
    sim.set(QStringLiteral("nosync=1"));
    // Still the statistics page, only without sync.
    EXPECT_TRUE(statsPage(sim.port(), cookie).contains("Information for Helpdesk agents"));
    sim.set(QStringLiteral("nosync=0&down=1"));
    statsPage(sim.port(), cookie);

    const QStringList lines = recordLines();
    QStringList kinds;
    for (const QString& line : lines)
        kinds << line.section(u' ', 1, 1);
    EXPECT_EQ(kinds, (QStringList{QStringLiteral("login"), QStringLiteral("loggedin"),
                                  QStringLiteral("stats"), QStringLiteral("stats"),
                                  QStringLiteral("down")}));
    ASSERT_EQ(lines.size(), 5);

    // time kind synced nmUp nmDown rateUp rateDown maxUp maxDown lineAttUp lineAttDown ...
    const QStringList first = lines[2].split(u' ');
    ASSERT_GE(first.size(), 13);
    EXPECT_GT(first[0].toLongLong(), 1600000000000LL);
    EXPECT_EQ(first[2], QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(first[3].toDouble(), synced.value(QStringLiteral("noiseMarginUp")).toDouble());
    EXPECT_DOUBLE_EQ(first[4].toDouble(),
                     synced.value(QStringLiteral("noiseMarginDown")).toDouble());
    EXPECT_EQ(first[5].toInt(), synced.value(QStringLiteral("dataRateUp")).toInt());
    EXPECT_EQ(first[6].toInt(), synced.value(QStringLiteral("dataRateDown")).toInt());
    EXPECT_EQ(first[7].toInt(), synced.value(QStringLiteral("maxDataRateUp")).toInt());
    EXPECT_DOUBLE_EQ(first[10].toDouble(),
                     synced.value(QStringLiteral("lineAttenuationDown")).toDouble());

    const QStringList unsynced = lines[3].split(u' ');
    ASSERT_GE(unsynced.size(), 7);
    EXPECT_EQ(unsynced[2], QStringLiteral("0"));
    EXPECT_EQ(unsynced[6].toInt(), 0); // no sync: no downstream rate
}

} // namespace
