#pragma once
// One event of the drop record: a drop (samples without sync), a retrain (new sync rates between
// two samples with sync) or a router restart (its uptime went back), between the last sample with
// sync before it and the first one after it.
#include <QDateTime>
#include <QStringList>
#include <QStringView>
#include <optional>

struct DropSide {
    QDateTime time;
    double noiseMarginUp = 0, noiseMarginDown = 0; // dB
    double rateUp = 0, rateDown = 0;               // sync rates, Kbps
    bool operator==(const DropSide&) const = default;
};

struct DropEvent {
    enum class Kind { Drop, Retrain, RouterRestart };

    Kind kind = Kind::Drop;
    DropSide before, after;
    int samplesDown = 0; // samples without sync between the two sides
    // The uncertainty of the duration: the sample interval, or the longer gap between samples
    // beside the event when sampling stopped there.
    int intervalSeconds = 0;
    QStringList images; // names of the graph images captured for it

    // From the last sample with sync to the first one after it.
    // Whole seconds between the two times as the record writes them (to the second), so that a
    // line read back agrees with its own duration.
    qint64 durationSeconds() const {
        return after.time.toSecsSinceEpoch() - before.time.toSecsSinceEpoch();
    }
    // Time the line was seen without sync: the duration of a drop; nothing for an event that no
    // sample saw (a retrain or a restart between two samples), whose length a sample cannot tell.
    qint64 secondsLost() const { return samplesDown > 0 ? durationSeconds() : 0; }

    // "drop", "retrain", "router_restart": the names in the record file and on the web.
    static const char* kindName(Kind kind);
    static std::optional<Kind> kindFromName(QStringView name);
    // "Drop", "Retrain", "Router restart": the kind as the report and the window show it.
    static QString kindText(Kind kind);

    bool operator==(const DropEvent&) const = default;
};

inline const char* DropEvent::kindName(Kind kind) {
    switch (kind) {
    case Kind::Drop:
        return "drop";
    case Kind::Retrain:
        return "retrain";
    case Kind::RouterRestart:
        return "router_restart";
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
    }
    return QStringLiteral("Drop");
}

inline std::optional<DropEvent::Kind> DropEvent::kindFromName(QStringView name) {
    for (Kind k : {Kind::Drop, Kind::Retrain, Kind::RouterRestart})
        if (name == QLatin1String(kindName(k)))
            return k;
    return std::nullopt;
}
