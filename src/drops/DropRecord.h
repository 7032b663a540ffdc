#pragma once
// The live drop record: detects the events in the plotted samples, appends each ended one to the
// record file beside the data-restore file, keeps the events in memory for the statistics, fills
// a missing record once from the data-restore file's history, finishes a drop that was in
// progress when the program last ended, trims the file, and publishes the board the web server
// reads.
#include "core/LineReading.h"
#include "core/LineSample.h"
#include "drops/DropDetector.h"
#include "drops/DropEvent.h"
#include "drops/DropHistory.h"
#include "drops/DropsBoard.h"

#include <QDateTime>
#include <QString>
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

    // The history read from the data-restore file at start: a missing record is filled from it
    // once, and a drop it ends in goes on.
    void startFrom(const DropHistory::Result& history);

    // A plotted sample (sync or none, a router that did not answer included).
    void feed(const QDateTime& time, const LineSample& sample);
    void feed(const LineReading& reading) { feed(reading.time, reading.sample); }
    // Graph images captured while the next sample is handled.
    void addImages(const QStringList& names) { detector_.addImages(names); }

    // Keeps the events that ended in the last days days.
    void trim(int days, const QDateTime& now);

    const std::vector<DropEvent>& events() const { return events_; }
    bool inDrop() const { return detector_.inDrop(); }
    // The last sample with sync before the drop in progress, to the second; invalid while the
    // line is up.
    QDateTime downSince() const;
    const DropsBoard& board() const { return board_; }
    // The time the board's summary is counted from; the web page's "today".
    void publish(const QDateTime& now);

    // Loads the record of the current folder, or fills it from the data-restore file when it is
    // missing, the first time it is needed (a sample, a trim, the Line Drops window).
    void ensureStarted();

private:
    // Reads the record file's text again after it changed.
    void readCsv();
    void load();

    UserMessages& messages_;
    QString folder_;
    bool started_ = false;
    int intervalSeconds_ = 30;
    DropDetector detector_;
    std::vector<DropEvent> events_;
    // The record file's text as /drops.csv serves it, read again only when the file changed.
    std::string csv_;
    std::array<quint64, 3> sinceStart_{};
    double endedDownSeconds_ = 0;
    qint64 lastSampleMs_ = 0;
    DropsBoard board_;
};
