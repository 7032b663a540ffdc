#pragma once
// What end-to-end tests read back from the running program: the lines of its data file and log,
// answers of its web server, /metrics values, and the simulator's record of what it served.
#include <QByteArray>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <optional>
#include <ostream>

// Failures show texts as text, not as lists of bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}

// The non-empty lines of a text file, without their line ends; none when it cannot be read.
inline QStringList textLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (QByteArray line : f.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines << QString::fromLatin1(line);
    }
    return lines;
}

// One line of the data file: the label and the eight values, as the restore reads them back.
struct DataLine {
    QString label;
    QList<double> values; // noise margin up, down, speed up, down, user 1 up, down, user 2 up, down
};

inline std::optional<DataLine> parseDataLine(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() != 9)
        return std::nullopt;
    DataLine d{fields[0], {}};
    for (int i = 1; i < 9; ++i) {
        bool ok = false;
        d.values << fields[i].toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    return d;
}

// Rounded to two significant digits, as the data file stores noise margins.
inline double twoDigits(double v) {
    return QString::number(v, 'g', 2).toDouble();
}

// The time of day of a data-file label ("Tue 08 ! 14:23:05" or "14:23:05") in seconds.
inline int labelSeconds(const QString& label) {
    static const QRegularExpression time(QStringLiteral("(\\d\\d):(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch m = time.match(label);
    if (!m.hasMatch())
        return -1;
    return m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
}

struct HttpReply {
    int status = 0; // 0: no answer
    QByteArray headers;
    QByteArray body;
};

// One HTTP/1.0 request to 127.0.0.1:port with the request target sent exactly as given.
inline HttpReply httpGet(int port, const QByteArray& target) {
    HttpReply r;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    if (!socket.waitForConnected(10000))
        return r;
    socket.write("GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray all;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        all += socket.readAll();
    all += socket.readAll();
    const qsizetype end = all.indexOf("\r\n\r\n");
    if (!all.startsWith("HTTP/1.") || end < 0)
        return r;
    r.status = all.mid(9, 3).toInt();
    r.headers = all.left(end + 2);
    r.body = all.mid(end + 4);
    return r;
}

// The value of one sample line of a Prometheus text page, e.g. `lintrove_samples_total` or
// `lintrove_monitor_state{state="paused"}`; nullopt when the page has no such line.
inline std::optional<double> metric(const QByteArray& page, const QString& series) {
    for (const QByteArray& line : page.split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(series + QLatin1Char(' '))) {
            bool ok = false;
            const double v = text.mid(series.size() + 1).toDouble(&ok);
            if (ok)
                return v;
        }
    }
    return std::nullopt;
}

// Whether `lines`, in order, are served statistics pages in the order they were served (a
// page may have been served and not plotted): every data line's values are those of one
// served page, rounded as the file stores them. An empty text, or the first line that is not.
inline QString matchServed(const QList<DataLine>& lines, const QJsonArray& history) {
    qsizetype h = 0;
    for (const DataLine& line : lines) {
        bool found = false;
        while (h < history.size() && !found) {
            const QJsonObject s = history[h++].toObject();
            found = line.values.size() == 8 &&
                    line.values[0] == twoDigits(s[QStringLiteral("noiseMarginUp")].toDouble()) &&
                    line.values[1] == twoDigits(s[QStringLiteral("noiseMarginDown")].toDouble()) &&
                    line.values[2] == s[QStringLiteral("dataRateUp")].toDouble() &&
                    line.values[3] == s[QStringLiteral("dataRateDown")].toDouble() &&
                    line.values[4] == s[QStringLiteral("maxDataRateUp")].toDouble() &&
                    line.values[5] == s[QStringLiteral("maxDataRateDown")].toDouble();
        }
        if (!found)
            return line.label + QStringLiteral(" has values the router never served in order");
    }
    return QString();
}
