#include "storage/DataRestoreFile.h"

#include "storage/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>

namespace DataRestoreFile {

namespace {

// A field as a number: blanks around it and a leading "+" allowed, "." as separator, the old
// files' exponent form ("1.0E+002") too; anything else, or a non-finite value, does not parse.
bool ParseField(QByteArrayView field, double& value) {
    const char* b = field.data();
    const char* e = b + field.size();
    while (b < e && *b == ' ')
        ++b;
    while (e > b && e[-1] == ' ')
        --e;
    if (b < e && *b == '+' && e - b > 1 && b[1] != '-')
        ++b;
    if (b == e)
        return false;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(b, e, v, std::chars_format::general);
    if (ec != std::errc() || ptr != e || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QByteArrayView TakeField(QByteArrayView& rest) {
    const qsizetype comma = rest.indexOf(',');
    if (comma < 0)
        return {};
    const QByteArrayView field = rest.first(comma);
    rest = rest.sliced(comma + 1);
    return field;
}

// One line over the previous line's values.
void ParseLine(QByteArrayView line, QString& label, LineSample& s) {
    QByteArrayView rest = line;
    const qsizetype comma = line.indexOf(',');
    label = comma < 0 ? QString() : QString::fromUtf8(line.first(comma));
    if (comma >= 0)
        rest = line.sliced(comma + 1);
    const qsizetype bang = label.indexOf(QLatin1Char('!'));
    if (bang >= 0)
        label[bang] = QLatin1Char('\r');
    label.append(QLatin1Char(' '));

    double* const fields[] = {&s.NoiseMarginUp, &s.NoiseMarginDown, &s.DataRateUp, &s.DataRateDown,
                              &s.User1Up,       &s.User1Down,       &s.User2Up};
    for (double* field : fields)
        ParseField(TakeField(rest), *field);
    ParseField(rest, s.User2Down);
}

} // namespace

QString PathIn(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("Lintrove5A.txt"));
}

QByteArray FormatValue(double value) {
    if (value == 0)
        value = 0; // no "-0.0"
    // Shortest round-trip digits in fixed notation; 400 bytes hold any finite double.
    char buf[400];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    QByteArray text(buf, ec == std::errc() ? ptr - buf : 0);
    if (std::isfinite(value) && !text.contains('.'))
        text.append(".0");
    return text;
}

QByteArray Line(const QString& label, const LineSample& s) {
    QString fileLabel = label;
    const qsizetype cr = fileLabel.indexOf(QLatin1Char('\r'));
    if (cr >= 0)
        fileLabel[cr] = QLatin1Char('!');
    qsizetype first = 0, last = fileLabel.size();
    while (first < last && fileLabel[first] == QLatin1Char(' '))
        ++first;
    while (last > first && fileLabel[last - 1] == QLatin1Char(' '))
        --last;
    QByteArray line = QStringView(fileLabel).sliced(first, last - first).toUtf8();
    for (double v : {s.NoiseMarginUp, s.NoiseMarginDown, s.DataRateUp, s.DataRateDown, s.User1Up,
                     s.User1Down, s.User2Up, s.User2Down}) {
        line.append(',');
        line.append(FormatValue(v));
    }
    return line;
}

bool Append(const QString& path, const QString& label, const LineSample& sample, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return TextLines::writeAll(file, Line(label, sample) + "\r\n", error);
}

bool Restore(const QString& path, const RestoreCallback& callback, QString* error) {
    QByteArray data;
    const bool whole = TextLines::readFile(path, data, error);
    if (!whole) {
        // Only whole lines count from a file whose reading broke off.
        const qsizetype lastEnd = data.lastIndexOf('\n');
        data.truncate(lastEnd + 1);
    }
    LineSample sample;
    QString label;
    TextLines::forEachLine(data, [&](QByteArrayView line) {
        ParseLine(line, label, sample);
        callback(label, sample);
    });
    return whole;
}

qint64 LinesToKeep(int sampleSeconds, int days) {
    const qint64 perDay = std::llround(86400.0 / qMax(1, sampleSeconds));
    return qMax<qint64>(0, perDay * days);
}

bool Trim(const QString& path, int sampleSeconds, int days, TrimBusy& busy, QString* error) {
    const qint64 keep = LinesToKeep(sampleSeconds, days);
    return TextLines::rewriteLines(
        path, busy,
        [keep](std::vector<QByteArrayView>& lines) {
            const qsizetype first = qsizetype(qMax<qint64>(0, qint64(lines.size()) - keep));
            lines.erase(lines.begin(), lines.begin() + first);
        },
        error);
}

} // namespace DataRestoreFile
