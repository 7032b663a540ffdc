#include "drops/DropRecord.h"

#include "core/UserMessages.h"
#include "drops/DropJson.h"
#include "drops/DropRecordFile.h"
#include "drops/DropStatistics.h"
#include "storage/DataRestoreFile.h"
#include "storage/TextLines.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

DropRecord::DropRecord(UserMessages& messages) : messages_(messages) {}

void DropRecord::setFolder(const QString& folder) {
    if (started_ && folder == folder_)
        return;
    folder_ = folder;
    if (started_)
        load(); // a new folder: its own record
}

QString DropRecord::path() const {
    return DropRecordFile::PathIn(folder_);
}

void DropRecord::setIntervalSeconds(int seconds) {
    intervalSeconds_ = seconds;
    detector_.setIntervalSeconds(seconds);
}

void DropRecord::load() {
    DropRecordFile::Contents contents;
    QString error;
    TrimBusy busy;
    bool upgraded = false;
    if (!DropRecordFile::UpgradeHeader(path(), busy, upgraded, &error))
        messages_.inform(QStringLiteral("The drop record %1 cannot be written: %2")
                             .arg(QDir::toNativeSeparators(path()), error));
    if (!DropRecordFile::Read(path(), contents, &error))
        messages_.inform(QStringLiteral("The drop record %1 cannot be read: %2")
                             .arg(QDir::toNativeSeparators(path()), error));
    events_ = std::move(contents.events);
    readCsv();
    const QString skipped = contents.skipped.join(QLatin1Char('\n'));
    const QString digest =
        skipped.isEmpty()
            ? QString()
            : QString::fromLatin1(
                  QCryptographicHash::hash(skipped.toUtf8(), QCryptographicHash::Sha1)
                      .toHex()
                      .left(16));
    if (!digest.isEmpty() && digest != toldSkipped_)
        messages_.inform(skipped);
    toldSkipped_ = digest;
    started_ = true;
}

void DropRecord::reconcile(const DropHistory::Result& history) {
    const QDateTime newest = events_.empty() ? QDateTime() : events_.back().after.time;
    bool added = false;
    for (const DropEvent& e : history.events) {
        // An event the record lost (a kill between the data file's line and the record's): the
        // history saw it after everything the record holds.
        if (newest.isValid() && e.before.time < newest)
            continue;
        QString error;
        if (!DropRecordFile::Append(path(), e, &error)) {
            messages_.inform(QStringLiteral("The drop record %1 cannot be written: %2")
                                 .arg(QDir::toNativeSeparators(path()), error));
            break;
        }
        events_.push_back(e);
        added = true;
    }
    if (added)
        readCsv();
}

void DropRecord::startFrom(const DropHistory::Result& history) {
    const bool existed = QFileInfo::exists(path());
    if (!existed) {
        QString error;
        if (!DropRecordFile::Create(path(), history.events, &error))
            messages_.inform(QStringLiteral("The drop record %1 cannot be written: %2")
                                 .arg(QDir::toNativeSeparators(path()), error));
    }
    load();
    if (existed)
        reconcile(history);
    // A state older than the record's newest event is stale: the record saw the line after it
    // (Restore was off meanwhile), so resuming it would make a drop across recorded events.
    const DropDetector::State& state = history.state;
    const qint64 newestMs = events_.empty() ? 0 : events_.back().after.time.toMSecsSinceEpoch();
    if (state.lastGood && state.lastGood->ms / 1000 * 1000 >= newestMs)
        detector_.resume(state);
    else
        detector_.resume({});
}

void DropRecord::ensureStarted() {
    if (started_)
        return;
    const QString dataFile = DataRestoreFile::PathIn(folder_);
    if (!QFileInfo::exists(path()) && QFileInfo::exists(dataFile)) {
        DropHistory::Result history;
        QString error;
        // A history that broke off still counts as far as it was read.
        if (!DropHistory::read(dataFile, intervalSeconds_, history, &error))
            messages_.inform(error);
        startFrom(history);
    } else {
        load();
    }
}

void DropRecord::feed(const LineReading& reading) {
    ensureStarted();
    lastState_ = reading.state;
    std::vector<DropEvent> ended = detector_.feed(reading);
    for (DropEvent& e : ended)
        append(std::move(e));
    if (!ended.empty())
        readCsv();
    publish(reading.time);
}

void DropRecord::append(DropEvent event) {
    QString error;
    if (!DropRecordFile::Append(path(), event, &error))
        messages_.inform(QStringLiteral("The drop record %1 cannot be written: %2")
                             .arg(QDir::toNativeSeparators(path()), error));
    ++sinceStart_[size_t(event.kind)];
    events_.push_back(std::move(event));
}

void DropRecord::trim(int days, const QDateTime& now) {
    ensureStarted();
    TrimBusy busy;
    QString error;
    if (!DropRecordFile::Trim(path(), now.addDays(-qMax(0, days)), busy, &error)) {
        messages_.inform(error);
        return;
    }
    load();
    publish(now);
}

QDateTime DropRecord::downSince() const {
    const DropDetector::State& state = detector_.state();
    if (lastState_ != LineReading::State::NoSync || !state.inDrop())
        return {};
    return localSecond(state.lastGood->ms);
}

void DropRecord::publish(const QDateTime& now) {
    auto c = std::make_shared<DropsBoard::Content>();
    c->eventsSinceStart = sinceStart_;
    c->sampleSeconds = intervalSeconds_;
    // Only what this run saw without sync: never the hours before a start, never going down.
    c->downSecondsSinceStart = double(detector_.seenDownMs()) / 1000.0;
    if (const QDateTime since = downSince(); since.isValid()) {
        c->lineDown = true;
        c->downSinceMs = since.toMSecsSinceEpoch();
    }
    c->summaryJson = DropJson::summary(DropSummary::of(events_, now));
    c->lastDropsJson = DropJson::lastEvents(events_, 10);
    if (csv_.empty()) // published before the record was loaded
        readCsv();
    c->csv = csv_;
    board_.publish(std::move(c));
}

void DropRecord::readCsv() {
    QByteArray csv;
    // The file as it is, damaged lines too; without one yet, the header alone.
    if (!QFileInfo::exists(path()) || !TextLines::readFile(path(), csv))
        csv = DropRecordFile::Csv({});
    csv_ = csv.toStdString();
}
