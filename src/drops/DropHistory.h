#pragma once
// The drops in the data-restore file's history. Its lines carry the time of day (and, with the
// date stamp, the day of the month) but no date: the dates are found by going back from the
// file's last write, a day back each time the clock of the lines goes backwards in reading order,
// more days where a day of the month says so. Lines without sync are drops; changed sync rates
// between two lines with sync are retrains. The history has no router uptime, so it shows no
// router restarts, and its zero lines cannot tell a line without sync from a router that was not
// read: its events are marked as filled from history.
#include "core/LineSample.h"
#include "drops/DropDetector.h"
#include "drops/DropEvent.h"

#include <QDateTime>
#include <QString>
#include <vector>

class DropHistory {
public:
    // The restored lines, oldest first, as DataRestoreFile::Restore gives them.
    void add(const QString& label, const LineSample& sample);

    struct Result {
        std::vector<DropEvent> events; // the ended ones, oldest first
        DropDetector::State state;     // where the last line left the detector
        qint64 lastLineMs = 0;         // the time of the last line, ms since the epoch; 0: none
    };
    // lastWrite: when the last line was written (the file's modification time).
    Result finish(const QDateTime& lastWrite, int intervalSeconds) const;

    // Reads the data-restore file at path and finishes. False with the I/O error in *error when
    // the file could not be read to its end; the lines read before it count.
    [[nodiscard]] static bool read(const QString& path, int intervalSeconds, Result& result,
                                   QString* error = nullptr);

private:
    struct Line {
        int secondOfDay;
        int dayOfMonth;
        bool sync;
        double noiseMarginUp, noiseMarginDown;
        double rateUp, rateDown;
    };
    std::vector<Line> lines_;
};
