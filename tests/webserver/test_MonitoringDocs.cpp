// The Grafana dashboard and the Prometheus files in docs/ ask only for metric names that /metrics
// exposes, so that a renamed metric cannot leave them showing nothing.
#include "drops/DropsBoard.h"
#include "webserver/DropMetrics.h"
#include "webserver/MetricsSnapshot.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every name /metrics can show: all quantities present, each user-graph choice once.
QSet<QString> exposedNames() {
    LineSample s;
    s.HasNoiseMargin = s.HasDataRate = s.HasUser1 = s.HasUser2 = true;
    s.NoiseMarginDown = 6;
    s.DataRateDown = 16000;
    s.UptimeDisplay = QStringLiteral("1 day, 01:01:02");
    QSet<QString> names;
    for (const auto& [user1, user2] : {std::pair{0, 1}, std::pair{2, 2}}) {
        MetricsSnapshot m;
        LineReading r;
        r.time = QDateTime::currentDateTime();
        r.state = LineReading::State::Synced;
        r.why = LineReading::Why::None;
        r.sample = s;
        r.uptimeSeconds = LineSample::uptimeSeconds(s.UptimeDisplay);
        m.setRouterStatus(RouterStatus::Reading);
        m.recordReading(r, user1, user2);
        std::string text = m.render();
        DropMetrics::render(text, DropsBoard::Content{});
        static const QRegularExpression type(QStringLiteral("^# TYPE (\\S+) "),
                                             QRegularExpression::MultilineOption);
        for (const auto& match : type.globalMatch(QString::fromStdString(text)))
            names << match.captured(1);
    }
    return names;
}

QString readDoc(const QString& name) {
    QFile f(QStringLiteral(LINTROVE_DOCS_DIR "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

void collectExpressions(const QJsonValue& v, QStringList& out) {
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            if ((it.key() == "expr" || it.key() == "query" || it.key() == "definition") &&
                it.value().isString())
                out << it.value().toString();
            collectExpressions(it.value(), out);
        }
    } else if (v.isArray()) {
        for (const QJsonValue& e : v.toArray())
            collectExpressions(e, out);
    }
}

QStringList metricNames(const QStringList& expressions) {
    static const QRegularExpression name(QStringLiteral("\\blintrove_[a-z0-9_]+"));
    QStringList out;
    for (const QString& e : expressions)
        for (const auto& m : name.globalMatch(e))
            out << m.captured(0);
    return out;
}

TEST(MonitoringDocs, EveryMetricNameUsedIsOneTheEndpointExposes) {
    const QSet<QString> exposed = exposedNames();
    ASSERT_TRUE(exposed.contains("lintrove_line_drops_total"));
    ASSERT_TRUE(exposed.contains("lintrove_signal_attenuation_db"));

    QStringList dashboard;
    collectExpressions(
        QJsonDocument::fromJson(readDoc("grafana/lintrove5a.json").toUtf8()).object(), dashboard);
    QStringList rules;
    for (const char* file : {"prometheus/lintrove5a.yml", "prometheus/lintrove5a.test.yml"})
        for (const QString& line : readDoc(QString::fromLatin1(file)).split('\n'))
            if (line.trimmed().startsWith("expr:") || line.trimmed().startsWith("- series:"))
                rules << line;

    for (const auto& [what, expressions] :
         {std::pair{"dashboard", dashboard}, std::pair{"rules", rules}}) {
        const QStringList names = metricNames(expressions);
        EXPECT_FALSE(names.isEmpty()) << what;
        for (const QString& n : names)
            EXPECT_TRUE(exposed.contains(n)) << what << ": " << n.toStdString();
    }
    // The dashboard shows what it promises.
    for (const char* shown :
         {"lintrove_noise_margin_db", "lintrove_sync_rate_bytes_per_second",
          "lintrove_max_data_rate_bytes_per_second", "lintrove_line_attenuation_db",
          "lintrove_router_state", "lintrove_line_drops_total", "lintrove_line_down_seconds_total"})
        EXPECT_TRUE(metricNames(dashboard).contains(shown)) << shown;
}

} // namespace
