#include "drops/DropRecordFile.h"

#include "core/NumberText.h"
#include "storage/DataRestoreFile.h"
#include "storage/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <unistd.h>

namespace DropRecordFile {

namespace {

// The earlier version's lines end after the images; this one's add the bounds after them, so
// that a reader taking columns by name still finds the old ones where they were.
constexpr int kEarlierFields = 15;
constexpr int kFields = 24;

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

// What a line may hold is bounded as the program writes it: a margin or rate the router could
// give (NumberText), and no time longer than some centuries, so that the sums and the whole
// numbers the summary, the table and the report make of a record cannot overflow.
constexpr qint64 kLongestSeconds = 10'000'000'000;

bool parseNumber(const QByteArray& field, double& value) {
    const char* b = field.constData();
    const char* e = b + field.size();
    const auto [ptr, ec] = std::from_chars(b, e, value, std::chars_format::general);
    return b != e && ec == std::errc() && ptr == e && std::isfinite(value) &&
           std::fabs(value) <= kRouterNumberLimit;
}

// Seconds and counts.
bool parseInt(const QByteArray& field, qint64& value) {
    const char* b = field.constData();
    const char* e = b + field.size();
    const auto [ptr, ec] = std::from_chars(b, e, value);
    return b != e && ec == std::errc() && ptr == e && value >= -kLongestSeconds &&
           value <= kLongestSeconds;
}

bool parseTime(const QByteArray& field, QDateTime& time) {
    // Kept with the offset it was written with: in the hour that summer time's end repeats, the
    // local time alone would not say which occurrence it was.
    time = QDateTime::fromString(QString::fromLatin1(field), Qt::ISODate);
    return time.isValid();
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
    return EarlierHeader() + QByteArrayLiteral(",samples_unread,lost_min_s,lost_max_s,unknown_s,"
                                               "start_latest,end_earliest,reason,clock_step_s,"
                                               "source");
}

QByteArray EarlierHeader() {
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
    add(QByteArray::number(e.durationSeconds));
    add(QByteArray::number(e.uncertaintySeconds()));
    add(QByteArray::number(e.samplesDown));
    for (const DropSide* side : {&e.before, &e.after})
        for (double v : {side->noiseMarginUp, side->noiseMarginDown, side->rateUp, side->rateDown})
            add(DataRestoreFile::FormatValue(v));
    line += ',';
    appendCsvField(line, e.images.join(kImageSeparator).toUtf8());
    add(QByteArray::number(e.samplesUnread));
    add(QByteArray::number(e.lostMinSeconds));
    add(QByteArray::number(e.lostMaxSeconds));
    add(QByteArray::number(e.unknownSeconds));
    // An event that no reading saw lies anywhere between its two readings with sync.
    add(TimeText(e.startLatest.isValid() ? e.startLatest : e.after.time).toLatin1());
    add(TimeText(e.endEarliest.isValid() ? e.endEarliest : e.before.time).toLatin1());
    add(LineReading::whyName(e.why));
    add(QByteArray::number(e.clockStepSeconds));
    add(DropEvent::sourceName(e.source));
    return line;
}

namespace {

// A line of the earlier version: its duration counted every zero and every gap as lost, give or
// take the uncertainty at each edge. Read as it is, its time lost becomes the range that claim
// allows, and the event is marked as the earlier version's.
bool parseEarlier(const std::vector<QByteArray>& f, DropEvent& out) {
    qint64 duration = 0, uncertainty = 0, down = 0;
    if (!parseInt(f[3], duration) || !parseInt(f[4], uncertainty) || !parseInt(f[5], down))
        return false;
    // The duration was written from the two times; a line where they disagree was damaged.
    if (duration != out.before.time.secsTo(out.after.time) || uncertainty < 0 || down < 0 ||
        down > INT_MAX)
        return false;
    out.durationSeconds = duration;
    out.samplesDown = int(down);
    if (down > 0) {
        out.lostMaxSeconds = duration;
        out.lostMinSeconds = qMax<qint64>(0, duration - 2 * uncertainty);
    }
    out.startLatest = down > 0 ? out.before.time.addSecs(uncertainty) : out.after.time;
    out.endEarliest = down > 0 ? out.after.time.addSecs(-uncertainty) : out.before.time;
    out.source = DropEvent::Source::EarlierVersion;
    return true;
}

bool parseBounds(const std::vector<QByteArray>& f, DropEvent& out) {
    qint64 duration = 0, uncertainty = 0, down = 0, unread = 0, lostMin = 0, lostMax = 0,
           unknown = 0, step = 0;
    if (!parseInt(f[3], duration) || !parseInt(f[4], uncertainty) || !parseInt(f[5], down) ||
        !parseInt(f[15], unread) || !parseInt(f[16], lostMin) || !parseInt(f[17], lostMax) ||
        !parseInt(f[18], unknown) || !parseTime(f[19], out.startLatest) ||
        !parseTime(f[20], out.endEarliest) || !parseInt(f[22], step))
        return false;
    const std::optional<LineReading::Why> why =
        LineReading::whyFromName(QString::fromLatin1(f[21]));
    const std::optional<DropEvent::Source> source =
        DropEvent::sourceFromName(QString::fromLatin1(f[23]));
    // The numbers hang together as they were written; a line where they do not was damaged.
    if (!why || !source || duration < 0 || down < 0 || unread < 0 || lostMin < 0 ||
        lostMax < lostMin || lostMax > duration || unknown < 0 || unknown > duration ||
        uncertainty != lostMax - lostMin || down > INT_MAX || unread > INT_MAX)
        return false;
    out.durationSeconds = duration;
    out.samplesDown = int(down);
    out.samplesUnread = int(unread);
    out.lostMinSeconds = lostMin;
    out.lostMaxSeconds = lostMax;
    out.unknownSeconds = unknown;
    out.why = *why;
    out.clockStepSeconds = step;
    out.source = *source;
    return true;
}

} // namespace

bool ParseLine(QByteArrayView line, DropEvent& e) {
    std::vector<QByteArray> f;
    // A later version may add columns after these.
    if (!splitCsv(line, f) || (f.size() != kEarlierFields && f.size() < kFields))
        return false;
    const std::optional<DropEvent::Kind> kind = DropEvent::kindFromName(QString::fromLatin1(f[0]));
    DropEvent out;
    if (!kind || !parseTime(f[1], out.before.time) || !parseTime(f[2], out.after.time) ||
        !parseSide(f, 6, out.before) || !parseSide(f, 10, out.after))
        return false;
    out.kind = *kind;
    if (!(f.size() == kEarlierFields ? parseEarlier(f, out) : parseBounds(f, out)))
        return false;
    const QString images = QString::fromUtf8(f[14]);
    if (!images.isEmpty())
        out.images = images.split(kImageSeparator);
    // A name is joined to the image folder when the report or the viewer reads it: it must be a
    // file's name there, never a way out of it.
    for (const QString& name : std::as_const(out.images))
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
            std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x20; }))
            return false;
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
        if (number == 1 && (line == Header() || line == EarlierHeader()))
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
    const bool created = !file.exists();
    // Appended whatever else writes the file meanwhile: no line overwrites another.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
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
    // The line outlives a power cut: it is the evidence. So does a new record's name.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return !created || TextLines::syncFolderOf(path, error);
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

bool UpgradeHeader(const QString& path, TrimBusy& busy, bool& upgraded, QString* error) {
    upgraded = false;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return true; // nothing to upgrade; reading it tells what is wrong
        const QByteArray first = file.readLine(EarlierHeader().size() + 4);
        if (first != EarlierHeader() + "\r\n" && first != EarlierHeader() + "\n")
            return true;
    }
    static const QByteArray header = Header();
    upgraded = true;
    return TextLines::rewriteLines(
        path, busy,
        [](std::vector<QByteArrayView>& lines) {
            if (!lines.empty())
                lines.front() = header;
        },
        error);
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
