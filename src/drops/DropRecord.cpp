#include "drops/DropRecord.h"

#include "core/UserMessages.h"
#include "drops/DropJson.h"
#include "drops/DropRecordFile.h"
#include "drops/DropStatistics.h"
#include "storage/DataRestoreFile.h"
#include "storage/TextLines.h"

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
    if (!DropRecordFile::Read(path(), contents, &error))
        messages_.inform(QStringLiteral("The drop record %1 cannot be read: %2")
                             .arg(QDir::toNativeSeparators(path()), error));
    events_ = std::move(contents.events);
    readCsv();
    if (!contents.skipped.isEmpty())
        messages_.inform(contents.skipped.join(QLatin1Char('\n')));
    started_ = true;
}

void DropRecord::startFrom(const DropHistory::Result& history) {
    if (!QFileInfo::exists(path())) {
        QString error;
        if (!DropRecordFile::Create(path(), history.events, &error))
            messages_.inform(QStringLiteral("The drop record %1 cannot be written: %2")
                                 .arg(QDir::toNativeSeparators(path()), error));
    }
    load();
    detector_.resume(history.state);
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

void DropRecord::feed(const QDateTime& time, const LineSample& sample) {
    ensureStarted();
    lastSampleMs_ = time.toMSecsSinceEpoch();
    std::optional<DropEvent> event = detector_.feed(time, sample);
    if (event) {
        QString error;
        if (!DropRecordFile::Append(path(), *event, &error))
            messages_.inform(QStringLiteral("The drop record %1 cannot be written: %2")
                                 .arg(QDir::toNativeSeparators(path()), error));
        readCsv();
        ++sinceStart_[size_t(event->kind)];
        endedDownSeconds_ += double(event->secondsLost());
        events_.push_back(std::move(*event));
    }
    publish(time);
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
    if (!state.inDrop || !state.lastGood)
        return {};
    return QDateTime::fromSecsSinceEpoch(state.lastGood->ms / 1000);
}

void DropRecord::publish(const QDateTime& now) {
    auto c = std::make_shared<DropsBoard::Content>();
    c->eventsSinceStart = sinceStart_;
    c->sampleSeconds = intervalSeconds_;
    c->downSecondsSinceStart = endedDownSeconds_;
    const DropDetector::State& state = detector_.state();
    if (state.inDrop && state.lastGood) {
        c->lineDown = true;
        c->downSinceMs = state.lastGood->ms;
        // The drop in progress counts up to its latest sample.
        c->downSecondsSinceStart +=
            double(qMax<qint64>(0, lastSampleMs_ - state.lastGood->ms)) / 1000.0;
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
