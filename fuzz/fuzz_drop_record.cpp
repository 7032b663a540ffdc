// The drop record as the file may hold it: damaged, cut short, or written by someone else. Every
// line is read or skipped with a message; an event read writes back a line that reads back the
// same; and what the window, the web pages and the report make of the events (summary, table,
// JSON, report) comes out under the sanitizers, so a value read cannot overflow them. A trim
// keeps every line it cannot read.
#include "FuzzFiles.h"
#include "drops/DropJson.h"
#include "drops/DropRecordFile.h"
#include "drops/DropReport.h"
#include "drops/DropStatistics.h"
#include "drops/DropTableModel.h"
#include "storage/TextLines.h"

#include <QDir>

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(14, 23, 5), Qt::OffsetFromUTC, 3600);

void viewsOf(const std::vector<DropEvent>& events) {
    const DropSummary summary = DropSummary::of(events, kNow);
    (void)summary.text();
    (void)DropJson::summary(summary);
    (void)DropJson::lastEvents(events, 10);
    for (const DropEvent& e : events) {
        (void)DropSummary::lengthText(e);
        (void)DropSummary::kindText(e);
    }
    DropTableModel table;
    table.setEvents(&events);
    for (int row = 0; row < table.rowCount(); ++row)
        for (int column = 0; column < table.columnCount(); ++column)
            for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                (void)table.data(table.index(row, column), role);
    DropReport::Input input;
    input.router = QStringLiteral("192.168.1.254");
    input.user1Name = QStringLiteral("Max Data Rate");
    input.user2Name = QStringLiteral("Line Attenuation");
    input.events = events;
    input.now = kNow;
    // An empty folder: an image name must not reach a file outside it.
    input.imageFolder = scratchPath("images");
    QDir().mkpath(input.imageFolder);
    (void)DropReport::html(input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = scratchPath("Lintrove5A-drops.csv");
    writeWhole(path, bytes);

    DropRecordFile::Contents contents;
    FUZZ_CHECK(DropRecordFile::Read(path, contents));
    const qsizetype lines = qsizetype(TextLines::splitLines(bytes).size());
    FUZZ_CHECK(qsizetype(contents.events.size()) + contents.skipped.size() <= lines);

    for (const DropEvent& e : contents.events) {
        // A name is a file in the image folder, never a way out of it.
        for (const QString& name : e.images)
            FUZZ_CHECK(!name.isEmpty() && name != QLatin1String("..") &&
                       name != QLatin1String(".") && !name.contains(u'/'));
        const QByteArray line = DropRecordFile::Line(e);
        DropEvent again;
        FUZZ_CHECK(DropRecordFile::ParseLine(line, again));
        FUZZ_CHECK(DropRecordFile::Line(again) == line);
    }
    viewsOf(contents.events);

    // A trim keeps the lines it cannot read, byte for byte, and the events after the cut.
    TrimBusy busy;
    FUZZ_CHECK(DropRecordFile::Trim(path, kNow.addDays(-30), busy));
    FUZZ_CHECK(!busy.isSet());
    DropRecordFile::Contents trimmed;
    FUZZ_CHECK(DropRecordFile::Read(path, trimmed));
    FUZZ_CHECK(trimmed.skipped.size() <= contents.skipped.size());
    for (const DropEvent& e : trimmed.events)
        FUZZ_CHECK(!(e.after.time < kNow.addDays(-30)));
    return 0;
}
