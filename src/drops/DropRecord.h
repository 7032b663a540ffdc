#pragma once
// The live drop record: detects the events in the plotted readings, appends each ended one to
// the record file beside the data-restore file, keeps the events in memory for the statistics,
// fills a missing record from the data-restore file's history and adds the history's events that
// are newer than the record's, finishes a drop that was in progress when the program last ended
// (unless the record knows of something newer), trims the file, and publishes the board the web
// server reads.
#include "core/LineReading.h"
#include "core/LineSample.h"
#include "drops/DropDetector.h"
#include "drops/DropEvent.h"
#include "drops/DropHistory.h"
#include "drops/DropsBoard.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class UserMessages;

class DropRecord {
public:
    explicit DropRecord(UserMessages& messages);

    // The data-restore file's folder; the record lives beside that file and follows it.
    void setFolder(const QString& folder);
    QString path() const;
    void setIntervalSeconds(int seconds);

    // The history read from the data-restore file at start: a missing record is filled from it,
    // an existing one gains the history's events newer than its newest, and a drop the history
    // ends in goes on unless the record holds an event newer than its start.
    void startFrom(const DropHistory::Result& history);

    // A plotted reading (with sync, without, or not read).
    void feed(const LineReading& reading);
    // Nobody watches from now until the next reading (a pause, a stop): the line is not known to
    // be down meanwhile.
    void unwatched() { lastState_.reset(); }
    // Graph images captured while the next sample is handled.
    void addImages(const QStringList& names) { detector_.addImages(names); }

    // Keeps the events that ended in the last days days.
    void trim(int days, const QDateTime& now);

    const std::vector<DropEvent>& events() const { return events_; }
    bool inDrop() const { return detector_.inDrop(); }
    // The last reading with sync before the drop in progress, to the second; invalid unless the
    // last reading of this run, watched since, was without sync.
    QDateTime downSince() const;
    const DropsBoard& board() const { return board_; }
    // The time the board's summary is counted from; the web page's "today".
    void publish(const QDateTime& now);

    // Loads the record of the current folder, or fills it from the data-restore file when it is
    // missing, the first time it is needed (a sample, a trim, the Line Drops window).
    void ensureStarted();

    // A digest of the damaged lines last told to the user (empty: none). Kept across starts by
    // the caller, so that the same damaged lines are told once, not at every start and trim.
    const QString& damageTold() const { return toldSkipped_; }
    void setDamageTold(const QString& digest) { toldSkipped_ = digest; }

private:
    // Reads the record file's text again after it changed.
    void readCsv();
    void load();
    void append(DropEvent event);
    // Adds the history's events newer than the record's newest, marked as filled from history.
    void reconcile(const DropHistory::Result& history);

    UserMessages& messages_;
    QString folder_;
    bool started_ = false;
    int intervalSeconds_ = 30;
    DropDetector detector_;
    std::vector<DropEvent> events_;
    // The record file's text as /drops.csv serves it, read again only when the file changed.
    std::string csv_;
    std::array<quint64, DropEvent::kKinds> sinceStart_{};
    std::optional<LineReading::State> lastState_; // of the last reading of this run, if watched
    // The damaged lines last told, as a digest, so that a record read again unchanged is not
    // told again.
    QString toldSkipped_;
    DropsBoard board_;
};
