#include "RouterPages.h"

#include <QStringList>
#include <cmath>

namespace {

// The software version shown in every footer; the firmware switch shows the one release whose
// statistics moved to another page.
const char* const kUsualVersion = "4.7.5.1.83.8.263";
const char* const kMovedStatsVersion = "4.7.5.1.83.8.204";

QString tenths(int t) {
    const int a = std::abs(t);
    return QString::fromLatin1(t < 0 ? "-" : "") + QString::number(a / 10) + u'.' +
           QString::number(a % 10);
}

QString pair(const QString& up, const QString& down) {
    return up + QStringLiteral(" / ") + down;
}

const char* const kStyle = R"(<style type="text/css">
body { margin: 0; font-family: Arial, Helvetica, sans-serif; font-size: 12px; color: #333333; background: #f0f0f0; }
#page { width: 960px; margin: 0 auto; background: #ffffff; }
#header { height: 64px; background: #5514b4; color: #ffffff; padding: 0 20px; }
#header .brand { font-size: 26px; line-height: 64px; font-weight: bold; }
#header .title { font-size: 16px; line-height: 64px; margin-left: 24px; }
#menu { background: #e6e6e6; border-bottom: 1px solid #cccccc; }
#menu ul { margin: 0; padding: 0 12px; list-style: none; }
#menu li { display: inline-block; }
#menu a { display: block; padding: 10px 12px; color: #5514b4; text-decoration: none; }
#menu a:hover { background: #d4d4d4; }
#content { padding: 16px 20px 24px 20px; min-height: 400px; }
#content h1 { font-size: 20px; font-weight: normal; color: #5514b4; margin: 0 0 12px 0; }
#content h2 { font-size: 15px; margin: 18px 0 8px 0; }
.box { border: 1px solid #cccccc; padding: 12px; margin-bottom: 16px; }
table.helpdesk { border-collapse: collapse; width: 100%; }
table.helpdesk td { border-bottom: 1px solid #e6e6e6; padding: 4px 6px; vertical-align: top; }
td.hd-label { width: 260px; font-weight: bold; }
td.hd-value { font-family: "Courier New", monospace; }
table.counters { border-collapse: collapse; width: 100%; }
table.counters th, table.counters td { border: 1px solid #e6e6e6; padding: 3px 6px; text-align: right; }
table.counters th.name, table.counters td.name { text-align: left; }
table.events { border-collapse: collapse; width: 100%; }
table.events td { border-bottom: 1px dotted #dddddd; padding: 2px 6px; }
.button { display: inline-block; padding: 6px 18px; background: #5514b4; color: #ffffff; text-decoration: none; border-radius: 3px; }
.error { color: #cc0000; font-weight: bold; }
#footer { border-top: 1px solid #cccccc; padding: 10px 20px; color: #666666; font-size: 11px; }
#footer a { color: #666666; }
</style>
)";

// Every page opens with the same eight menu links, so the login page's own links follow them.
QString pageStart(const QString& title) {
    QString s;
    s += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n"
                        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                        "<meta http-equiv=\"Pragma\" content=\"no-cache\">\n<title>");
    s += title;
    s += QStringLiteral("</title>\n");
    s += QString::fromLatin1(kStyle);
    s += QStringLiteral(
        "</head>\n<body>\n<div id=\"page\">\n"
        "<div id=\"header\"><span class=\"brand\">Home Hub</span><span class=\"title\">Hub "
        "Manager</span></div>\n"
        "<div id=\"menu\"><ul>\n"
        "<li><a href=\"/index.cgi?active_page=9100\">Home</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9110\">Broadband</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9120\">Wireless</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9125\">Devices</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9130\">Smart Setup</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9135\">Advanced Settings</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9150\">Troubleshooting</a></li>\n"
        "<li><a href=\"/index.cgi?active_page=9160\">Help</a></li>\n"
        "</ul></div>\n<div id=\"content\">\n");
    return s;
}

QString pageEnd(bool firmware, const QString& script = QString()) {
    QString s = QStringLiteral("</div>\n<div id=\"footer\">Software version ");
    s += QString::fromLatin1(firmware ? kMovedStatsVersion : kUsualVersion);
    s += QStringLiteral(" | <a href=\"/index.cgi?active_page=9160\">Help and support</a> | "
                        "<a href=\"/index.cgi?active_page=9170\">Legal notices</a></div>\n"
                        "</div>\n");
    s += script;
    s += QStringLiteral("</body>\n</html>\n");
    return s;
}

// One helpdesk row. The value cell's attributes keep its ">" more than 35 characters past the
// start of any label, where the readers of user-defined rows begin their window.
QString row(const QString& label, const QString& value) {
    return QStringLiteral("<tr><td class=\"hd-label\">") + label +
           QStringLiteral("</td><td class=\"hd-value\" align=\"left\">") + value +
           QStringLiteral("</td></tr>\n");
}

QString uptimeScript(std::int64_t uptimeSeconds) {
    return QStringLiteral("<script type=\"text/javascript\">\nvar wait = ") +
           QString::number(uptimeSeconds) +
           QStringLiteral(
               ";\n"
               "function two(n) { return (n < 10 ? \"0\" : \"\") + n; }\n"
               "function showUptime(s) {\n"
               "  var d = Math.floor(s / 86400), h = Math.floor(s / 3600) % 24;\n"
               "  var m = Math.floor(s / 60) % 60;\n"
               "  var e = document.getElementById(\"uptime\");\n"
               "  if (e) e.textContent = d + \" days, \" + two(h) + \":\" + two(m) + \":\" + "
               "two(s % 60);\n"
               "}\n"
               "showUptime(wait);\n"
               "</script>\n");
}

// A day of the router's event log: the bulk of a real helpdesk page.
QString eventLog(std::int64_t uptimeSeconds) {
    static const char* const kEvents[] = {
        "DSL line is up",
        "PPP session started",
        "DHCP lease renewed for device 192.168.1.64",
        "Wireless client associated on 2.4 GHz",
        "Wireless client disassociated on 5 GHz",
        "NTP time synchronised",
        "Admin login from 192.168.1.64",
        "Firewall blocked an inbound request on port 23",
        "DNS server list updated",
        "Smart Setup check completed",
    };
    QString s = QStringLiteral("<h2>Event log</h2>\n<table class=\"events\" cellspacing=\"0\">"
                               "<tbody>\n");
    std::int64_t t = uptimeSeconds;
    for (int i = 0; i < 140; ++i) {
        t -= 317 + (i * 97) % 911;
        const std::int64_t shown = t < 0 ? 0 : t;
        const QString clock = QStringLiteral("%1:%2:%3")
                                  .arg((shown / 3600) % 24, 2, 10, QLatin1Char('0'))
                                  .arg((shown / 60) % 60, 2, 10, QLatin1Char('0'))
                                  .arg(shown % 60, 2, 10, QLatin1Char('0'));
        s += QStringLiteral("<tr><td>") + clock + QStringLiteral("</td><td>") +
             QString::fromLatin1(kEvents[(i * 7) % 10]) + QStringLiteral("</td></tr>\n");
    }
    s += QStringLiteral("</tbody></table>\n");
    return s;
}

// Error counters that grow with the length of their period; a line without sync counts none.
QString countersTable(const LineValues& v, std::int64_t uptimeSeconds) {
    static const char* const kPeriods[] = {"Since link up", "Last 15 minutes", "Last 24 hours",
                                           "Previous 24 hours", "Since power on"};
    static const int kPeriodMinutes[] = {0, 15, 1440, 1440, 0};
    static const char* const kCounters[] = {"FEC errors",
                                            "CRC errors",
                                            "HEC errors",
                                            "Errored seconds",
                                            "Severely errored seconds",
                                            "Loss of signal",
                                            "Loss of frame",
                                            "Retrains"};
    static const int kPerDay[] = {52000, 310, 95, 140, 6, 1, 1, 1};
    const std::int64_t upMinutes = uptimeSeconds / 60;
    QString s = QStringLiteral("<h2>Line error counters (upstream / downstream)</h2>\n"
                               "<table class=\"counters\" cellspacing=\"0\"><tbody>\n<tr><th "
                               "class=\"name\">Counter</th>");
    for (const char* p : kPeriods)
        s += QStringLiteral("<th>") + QString::fromLatin1(p) + QStringLiteral("</th>");
    s += QStringLiteral("</tr>\n");
    for (int c = 0; c < 8; ++c) {
        s += QStringLiteral("<tr><td class=\"name\">") + QString::fromLatin1(kCounters[c]) +
             QStringLiteral("</td>");
        for (int p = 0; p < 5; ++p) {
            const std::int64_t minutes = kPeriodMinutes[p] ? kPeriodMinutes[p] : upMinutes;
            const std::int64_t down = v.synced ? kPerDay[c] * minutes / 1440 : 0;
            s += QStringLiteral("<td>") + QString::number(down / 4) + QStringLiteral(" / ") +
                 QString::number(down) + QStringLiteral("</td>");
        }
        s += QStringLiteral("</tr>\n");
    }
    s += QStringLiteral("</tbody></table>\n");
    return s;
}

} // namespace

namespace RouterPages {

LineValues representable(LineValues v, const PageStyle& style) {
    if (style.quirk)
        v.noiseMarginUpTenths = (v.noiseMarginUpTenths + 5) / 10 * 10;
    if (style.mbps) {
        v.rateUpKbps = (v.rateUpKbps + 50) / 100 * 100;
        v.rateDownKbps = (v.rateDownKbps + 50) / 100 * 100;
    }
    return v;
}

StatsCells statsCells(const LineValues& v, const PageStyle& style) {
    StatsCells c;
    // The wrapped form reads as 2^31 plus the whole decibels.
    const QString noiseUp = style.quirk ? QString::number(2147483648LL + v.noiseMarginUpTenths / 10)
                                        : tenths(v.noiseMarginUpTenths);
    c.noiseMargin = pair(noiseUp, tenths(v.noiseMarginDownTenths));
    c.dataRate = style.mbps ? pair(tenths(v.rateUpKbps / 100), tenths(v.rateDownKbps / 100)) +
                                  QStringLiteral(" Mbps")
                            : pair(QString::number(v.rateUpKbps), QString::number(v.rateDownKbps));
    c.maxDataRate = pair(QString::number(v.maxRateUpKbps), QString::number(v.maxRateDownKbps)) +
                    QStringLiteral(" Kbps");
    c.lineAttenuation =
        pair(tenths(v.lineAttenuationUpTenths), tenths(v.lineAttenuationDownTenths)) +
        QStringLiteral(" dB");
    c.signalAttenuation =
        pair(tenths(v.signalAttenuationUpTenths), tenths(v.signalAttenuationDownTenths)) +
        QStringLiteral(" dB");
    return c;
}

QString statsPage(const LineValues& v, std::int64_t uptimeSeconds, const PageStyle& style) {
    const StatsCells cells = statsCells(v, style);
    QString s = pageStart(QStringLiteral("Hub Manager - Helpdesk"));
    s += QStringLiteral(
        "<h1>Helpdesk</h1>\n<div class=\"box\">\n<h2>Information for Helpdesk agents</h2>\n"
        "<p>If you call our helpdesk, the agent may ask you for the details below. They describe "
        "your Hub and the state of your broadband line.</p>\n"
        "<table class=\"helpdesk\" cellspacing=\"0\" cellpadding=\"0\"><tbody>\n");
    s += row(QStringLiteral("Product name:"), QStringLiteral("Home Hub 5 (Type A)"));
    s += row(QStringLiteral("Serial number:"), QStringLiteral("+068341+NQ41807512"));
    s += row(QStringLiteral("Firmware version:"),
             QString::fromLatin1(style.firmware ? kMovedStatsVersion : kUsualVersion) +
                 QStringLiteral(" (Type A) Last updated 12/03/15"));
    s += row(QStringLiteral("Board version:"), QStringLiteral("Type A, revision 1.4"));
    s += row(QStringLiteral("Uptime:"), QStringLiteral("<span id=\"uptime\"></span>"));
    s += row(QStringLiteral("Broadband mode:"), QStringLiteral("VDSL2, profile 17a"));
    s += row(QStringLiteral("Broadband username:"), QStringLiteral("bthomehub@btbroadband.com"));
    s += row(QStringLiteral("Line state (upstream / downstream):"),
             v.synced ? QStringLiteral("Connected / Connected")
                      : QStringLiteral("Training / Training"));
    if (!style.missingLabels)
        s += row(QStringLiteral("Data rate:"), cells.dataRate);
    s += row(QStringLiteral("Maximum data rate:"), cells.maxDataRate);
    if (!style.missingLabels)
        s += row(QStringLiteral(" Noise margin:"), cells.noiseMargin);
    s += row(QStringLiteral("Line attenuation:"), cells.lineAttenuation);
    s += row(QStringLiteral("Signal attenuation:"), cells.signalAttenuation);
    s += row(QStringLiteral("Data sent / received:"), QStringLiteral("1843.2 / 27716.9 MB"));
    s += row(QStringLiteral("Hub MAC address:"), QStringLiteral("00:26:44:1c:9a:3e"));
    s += row(QStringLiteral("WAN IP address:"), QStringLiteral("203.0.113.41"));
    s += row(QStringLiteral("DNS servers:"), QStringLiteral("203.0.113.1, 203.0.113.2"));
    s += row(QStringLiteral("2.4 GHz wireless network:"), QStringLiteral("BTHub5-7XQ2, channel 6"));
    s += row(QStringLiteral("5 GHz wireless network:"), QStringLiteral("BTHub5-7XQ2, channel 36"));
    s += row(QStringLiteral("Connected devices:"), QStringLiteral("7"));
    s += QStringLiteral("</tbody></table>\n</div>\n");
    s += countersTable(v, uptimeSeconds);
    s += eventLog(uptimeSeconds);
    s += pageEnd(style.firmware, uptimeScript(uptimeSeconds));
    return s;
}

QString loginPage(const QString& fieldId, const QString& returnPage, bool wrongPassword,
                  bool firmware) {
    QString s = pageStart(QStringLiteral("Hub Manager - Login"));
    s += QStringLiteral("<h1>Hub Manager login</h1>\n<div class=\"box\">\n");
    if (wrongPassword)
        s += QStringLiteral(
            "<p class=\"error\">The password you entered is incorrect. Please try again.</p>\n"
            "<p>Your password hint: printed on the card on the back of your Hub</p>\n");
    s += QStringLiteral("<p>To open this page, please enter your admin password.</p>\n"
                        "<form name=\"login\" method=\"post\" action=\"/login.cgi\">\n"
                        "<input type=\"hidden\" name=\"active_page\" value=\"");
    s += returnPage;
    s += QStringLiteral("\">\n<table class=\"helpdesk\" cellspacing=\"0\"><tbody>\n"
                        "<tr><td class=\"hd-label\">Password:</td><td>"
                        "<input type=password name=password_");
    // The field is written the router's way: attribute values without quotes.
    s += fieldId;
    s += QStringLiteral(" id=password_") + fieldId +
         QStringLiteral(" size=24 maxlength=64 autocomplete=off></td></tr>\n"
                        "</tbody></table>\n"
                        "<p><a class=\"button\" href=\"javascript:void(0)\" "
                        "onclick=\"return submitLogin();\">OK</a> "
                        "<a class=\"button\" href=\"/index.cgi?active_page=9100\">Cancel</a></p>\n"
                        "</form>\n"
                        "<p>Forgotten your password? <a href=\"/index.cgi?active_page=9165\">Reset "
                        "it here</a>.</p>\n</div>\n");
    const QString script = QStringLiteral("<script type=\"text/javascript\">\n"
                                          "function submitLogin() {\n"
                                          "  document.forms[0].submit();\n"
                                          "  return false;\n"
                                          "}\n"
                                          "</script>\n");
    s += pageEnd(firmware, script);
    return s;
}

QString homePage(bool synced, bool firmware) {
    QString s = pageStart(QStringLiteral("Hub Manager - Home"));
    s += QStringLiteral("<h1>Home</h1>\n<div class=\"box\">\n<p>Broadband: ");
    s += synced ? QStringLiteral("connected") : QStringLiteral("not connected");
    s += QStringLiteral("</p>\n<p>Wireless: on</p>\n<p>Devices: 7</p>\n"
                        "<p>For the details of your line, open the "
                        "<a href=\"/index.cgi?active_page=9143\">Helpdesk</a> page.</p>\n</div>\n");
    s += pageEnd(firmware);
    return s;
}

QString notFoundPage() {
    return QStringLiteral("<!DOCTYPE html>\n<html><head><title>Not found</title></head>\n"
                          "<body><h1>Not found</h1><p>The Hub has no such page.</p></body>"
                          "</html>\n");
}

QByteArray garbage(std::mt19937& rng) {
    const int size = std::uniform_int_distribution<int>(1024, 8192)(rng);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(byte(rng));
    return bytes;
}

} // namespace RouterPages
