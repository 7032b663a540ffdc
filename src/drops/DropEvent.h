#pragma once
// One event of the drop record, between the last reading with sync before it and the first one
// after it: a drop (readings without sync), a retrain (new sync rates), a router restart (its
// uptime went back, or grew less than the time that passed), or a time the router was not read
// (no_reading: never a drop). It keeps what is known and no more: the earliest and latest it can
// have started and ended, and the time lost as a range, with the time nobody watched or the
// router was not read kept apart as unknown.
#include "core/LineReading.h"

#include <QDateTime>
#include <QStringList>
#include <QStringView>
#include <optional>

// The local time of a moment to the second, with the offset then in force: a time in the hour
// that summer time's end repeats keeps which of its two occurrences it was, as the record writes
// it.
inline QDateTime localSecond(qint64 msSinceEpoch) {
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(msSinceEpoch / 1000, Qt::UTC);
    return utc.toOffsetFromUtc(utc.toLocalTime().offsetFromUtc());
}

struct DropSide {
    QDateTime time;
    double noiseMarginUp = 0, noiseMarginDown = 0; // dB
    double rateUp = 0, rateDown = 0;               // sync rates, Kbps
    bool operator==(const DropSide&) const = default;
};

struct DropEvent {
    enum class Kind { Drop, Retrain, RouterRestart, NoReading };
    static constexpr int kKinds = 4;
    // Where the event comes from: seen live, filled from the data file's history (whose zeros
    // may be times the router was not read), or a line of the record's earlier version (whose
    // duration counted every zero and every gap as lost).
    enum class Source { Live, History, EarlierVersion };

    Kind kind = Kind::Drop;
    // before: the last reading with sync before the event (its earliest start); after: the first
    // one after it (its latest end). For no_reading, the readings either side of the silence.
    DropSide before, after;
    int samplesDown = 0;   // readings without sync inside
    int samplesUnread = 0; // readings that were not read inside
    // From before to after by the steady clock, whole seconds; never negative.
    qint64 durationSeconds = 0;
    // The latest it can have started (its first reading without sync or not read; after.time
    // for an event no reading saw) and the earliest it can have ended (its last such reading;
    // before.time for an event no reading saw).
    QDateTime startLatest, endEarliest;
    // Time lost, in whole seconds: at least lostMin (between readings without sync), at most
    // lostMax (the duration less the unknown time). Zero for a retrain, a restart no reading
    // saw and no_reading.
    qint64 lostMinSeconds = 0, lostMaxSeconds = 0;
    // Time inside nobody watched (a pause, the program closed, the computer asleep) or the
    // router was not read: neither lost nor up.
    qint64 unknownSeconds = 0;
    // Why the router was not read (no_reading; the first reason of the run).
    LineReading::Why why = LineReading::Why::None;
    // How far the wall clock was set across the event (positive: forward), beyond the time that
    // passed; 0 when it was not.
    qint64 clockStepSeconds = 0;
    Source source = Source::Live;
    QStringList images; // names of the graph images captured for it

    // The width of what is not known of the time lost.
    qint64 uncertaintySeconds() const { return lostMaxSeconds - lostMinSeconds; }
    // A drop counts towards the drops and time lost; no_reading never does.
    bool countsAsDrop() const { return kind != Kind::NoReading; }

    // "drop", "retrain", "router_restart", "no_reading": the names in the record file and on the
    // web.
    static const char* kindName(Kind kind);
    static std::optional<Kind> kindFromName(QStringView name);
    // "Drop", "Retrain", "Router restart", "Router not read": as the report and the window show
    // it.
    static QString kindText(Kind kind);
    // "live", "history", "earlier_version".
    static const char* sourceName(Source source);
    static std::optional<Source> sourceFromName(QStringView name);

    // The event that readings every intervalSeconds would give, samplesDown of them without
    // sync and none missing: for tools, benchmarks and tests that make events by hand.
    static DropEvent evenlySampled(Kind kind, const DropSide& before, const DropSide& after,
                                   int samplesDown, int intervalSeconds);

    bool operator==(const DropEvent&) const = default;
};

inline DropEvent DropEvent::evenlySampled(Kind kind, const DropSide& before, const DropSide& after,
                                          int samplesDown, int intervalSeconds) {
    DropEvent e;
    e.kind = kind;
    e.before = before;
    e.after = after;
    e.samplesDown = samplesDown;
    e.durationSeconds = qMax<qint64>(0, before.time.secsTo(after.time));
    if (samplesDown > 0) {
        e.startLatest = before.time.addSecs(qMin<qint64>(intervalSeconds, e.durationSeconds));
        e.endEarliest = after.time.addSecs(-qMin<qint64>(intervalSeconds, e.durationSeconds));
        e.lostMinSeconds = qMax<qint64>(0, qint64(samplesDown - 1) * intervalSeconds);
        e.lostMaxSeconds = qMax(e.lostMinSeconds, e.durationSeconds);
    } else {
        e.startLatest = after.time;
        e.endEarliest = before.time;
    }
    return e;
}

inline const char* DropEvent::kindName(Kind kind) {
    switch (kind) {
    case Kind::Drop:
        return "drop";
    case Kind::Retrain:
        return "retrain";
    case Kind::RouterRestart:
        return "router_restart";
    case Kind::NoReading:
        return "no_reading";
    }
    return "drop";
}

inline QString DropEvent::kindText(Kind kind) {
    switch (kind) {
    case Kind::Drop:
        return QStringLiteral("Drop");
    case Kind::Retrain:
        return QStringLiteral("Retrain");
    case Kind::RouterRestart:
        return QStringLiteral("Router restart");
    case Kind::NoReading:
        return QStringLiteral("Router not read");
    }
    return QStringLiteral("Drop");
}

inline std::optional<DropEvent::Kind> DropEvent::kindFromName(QStringView name) {
    for (Kind k : {Kind::Drop, Kind::Retrain, Kind::RouterRestart, Kind::NoReading})
        if (name == QLatin1String(kindName(k)))
            return k;
    return std::nullopt;
}

inline const char* DropEvent::sourceName(Source source) {
    switch (source) {
    case Source::Live:
        return "live";
    case Source::History:
        return "history";
    case Source::EarlierVersion:
        return "earlier_version";
    }
    return "live";
}

inline std::optional<DropEvent::Source> DropEvent::sourceFromName(QStringView name) {
    for (Source s : {Source::Live, Source::History, Source::EarlierVersion})
        if (name == QLatin1String(sourceName(s)))
            return s;
    return std::nullopt;
}
