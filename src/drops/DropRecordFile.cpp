#include "drops/DropRecordFile.h"

#include "storage/DataRestoreFile.h"
#include "storage/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <unistd.h>

namespace DropRecordFile {

namespace {

constexpr int kFields = 15;

// Image names are joined by "/", which no file name contains.
constexpr QLatin1Char kImageSeparator('/');

// A field that holds a separator, a quote or a line end goes in quotes, its quotes doubled.
void appendCsvField(QByteArray& line, const QByteArray& field) {
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        QByteArray quoted = field;
        quoted.replace("\"", "\"\"");
        line += '"' + quoted + '"';
    } else {
        line += field;
    }
}

// The fields of a line; false when a quoted field is not closed.
bool splitCsv(QByteArrayView line, std::vector<QByteArray>& fields) {
    fields.clear();
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        QByteArray field;
        if (i < n && line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed || (i < n && line[i] != ','))
                return false;
        } else {
            const qsizetype comma = line.sliced(i).indexOf(',');
            const qsizetype end = comma < 0 ? n : i + comma;
            field = line.sliced(i, end - i).toByteArray();
            i = end;
        }
        fields.push_back(std::move(field));
        if (i >= n)
            return true;
        ++i; // the comma
    }
}

bool parseNumber(const QByteArray& field, double& value) {
    const char* b = field.constData();
    const char* e = b + field.size();
    const auto [ptr, ec] = std::from_chars(b, e, value, std::chars_format::general);
    return b != e && ec == std::errc() && ptr == e && std::isfinite(value);
}

bool parseInt(const QByteArray& field, qint64& value) {
    const char* b = field.constData();
    const char* e = b + field.size();
    const auto [ptr, ec] = std::from_chars(b, e, value);
    return b != e && ec == std::errc() && ptr == e;
}

bool parseTime(const QByteArray& field, QDateTime& time) {
    time = QDateTime::fromString(QString::fromLatin1(field), Qt::ISODate);
    if (!time.isValid())
        return false;
    time = time.toLocalTime();
    return true;
}

bool parseSide(const std::vector<QByteArray>& f, int first, DropSide& side) {
    return parseNumber(f[first], side.noiseMarginUp) &&
           parseNumber(f[first + 1], side.noiseMarginDown) &&
           parseNumber(f[first + 2], side.rateUp) && parseNumber(f[first + 3], side.rateDown);
}

// Ends the file's last line when it has no line end, so an appended line does not join it.
bool endPartialLine(QFile& file, QString* error) {
    const qint64 size = file.size();
    if (size == 0)
        return true;
    char last = 0;
    if (!file.seek(size - 1) || file.read(&last, 1) != 1) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!file.seek(size)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return last == '\n' || TextLines::writeAll(file, "\r\n", error);
}

} // namespace

QString PathIn(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("Lintrove5A-drops.csv"));
}

QByteArray Header() {
    return QByteArrayLiteral("kind,start,end,duration_s,uncertainty_s,samples_down,"
                             "noise_margin_up_before_db,noise_margin_down_before_db,"
                             "sync_rate_up_before_kbps,sync_rate_down_before_kbps,"
                             "noise_margin_up_after_db,noise_margin_down_after_db,"
                             "sync_rate_up_after_kbps,sync_rate_down_after_kbps,images");
}

QString TimeText(const QDateTime& time) {
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QByteArray Line(const DropEvent& e) {
    QByteArray line = DropEvent::kindName(e.kind);
    const auto add = [&line](const QByteArray& field) {
        line += ',';
        line += field;
    };
    add(TimeText(e.before.time).toLatin1());
    add(TimeText(e.after.time).toLatin1());
    add(QByteArray::number(e.durationSeconds()));
    add(QByteArray::number(e.intervalSeconds));
    add(QByteArray::number(e.samplesDown));
    for (const DropSide* side : {&e.before, &e.after})
        for (double v : {side->noiseMarginUp, side->noiseMarginDown, side->rateUp, side->rateDown})
            add(DataRestoreFile::FormatValue(v));
    line += ',';
    appendCsvField(line, e.images.join(kImageSeparator).toUtf8());
    return line;
}

bool ParseLine(QByteArrayView line, DropEvent& e) {
    std::vector<QByteArray> f;
    if (!splitCsv(line, f) || f.size() != kFields)
        return false;
    const std::optional<DropEvent::Kind> kind = DropEvent::kindFromName(QString::fromLatin1(f[0]));
    qint64 duration = 0, interval = 0, down = 0;
    DropEvent out;
    if (!kind || !parseTime(f[1], out.before.time) || !parseTime(f[2], out.after.time) ||
        !parseInt(f[3], duration) || !parseInt(f[4], interval) || !parseInt(f[5], down) ||
        !parseSide(f, 6, out.before) || !parseSide(f, 10, out.after))
        return false;
    // The duration is written from the two times; a line where they disagree was damaged.
    if (duration != out.durationSeconds() || interval < 0 || down < 0)
        return false;
    out.kind = *kind;
    out.intervalSeconds = int(interval);
    out.samplesDown = int(down);
    const QString images = QString::fromUtf8(f[14]);
    if (!images.isEmpty())
        out.images = images.split(kImageSeparator);
    e = std::move(out);
    return true;
}

QByteArray Csv(const std::vector<DropEvent>& events) {
    QByteArray out = Header() + "\r\n";
    for (const DropEvent& e : events)
        out += Line(e) + "\r\n";
    return out;
}

bool Read(const QString& path, Contents& contents, QString* error) {
    contents = {};
    if (!QFileInfo::exists(path))
        return true;
    QByteArray data;
    if (!TextLines::readFile(path, data, error))
        return false;
    qsizetype number = 0;
    TextLines::forEachLine(data, [&](QByteArrayView line) {
        ++number;
        if (number == 1 && line == Header())
            return;
        if (line.isEmpty())
            return;
        DropEvent e;
        if (ParseLine(line, e))
            contents.events.push_back(std::move(e));
        else
            contents.skipped.append(
                QStringLiteral("Line %1 of the drop record %2 cannot be read and was skipped: %3")
                    .arg(number)
                    .arg(QDir::toNativeSeparators(path),
                         QString::fromUtf8(line.first(qMin<qsizetype>(line.size(), 200)))));
    });
    return true;
}

bool Append(const QString& path, const DropEvent& event, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray bytes;
    if (file.size() == 0)
        bytes = Header() + "\r\n";
    else if (!endPartialLine(file, error))
        return false;
    bytes += Line(event) + "\r\n";
    if (!TextLines::writeAll(file, bytes, error))
        return false;
    // The line outlives a power cut: it is the evidence.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool Create(const QString& path, const std::vector<DropEvent>& events, QString* error) {
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The drop record already exists.");
        return false;
    }
    std::vector<QByteArray> lines;
    lines.reserve(events.size() + 1);
    lines.push_back(Header());
    for (const DropEvent& e : events)
        lines.push_back(Line(e));
    std::vector<QByteArrayView> views(lines.begin(), lines.end());
    return TextLines::writeFileAtomically(path, views.data(), qsizetype(views.size()), error);
}

bool Trim(const QString& path, const QDateTime& cutOff, TrimBusy& busy, QString* error) {
    return TextLines::rewriteLines(
        path, busy,
        [&cutOff](std::vector<QByteArrayView>& lines) {
            std::erase_if(lines, [&cutOff](QByteArrayView line) {
                DropEvent e;
                return ParseLine(line, e) && e.after.time < cutOff;
            });
        },
        error);
}

} // namespace DropRecordFile
