#pragma once
// One reading of the line, as the page driver hands it on: when it was taken (a wall-clock label
// and a steady time for durations), whether the line was read and had sync, why it was not read,
// and the values. Only a reading that was read is a measurement; the graphs, the data file and
// the log still plot an unread one as zeros, as they always have.
#include "core/LineSample.h"

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

struct LineReading {
    enum class State {
        Synced, // the statistics page, both groups present, with sync
        NoSync, // the statistics page, both groups present, without sync
        NotRead // no statistics: see why
    };
    enum class Why {
        None,             // read
        NotResponding,    // the page did not come in time
        NotReachable,     // the page could not be loaded
        PasswordRejected, // the wrong-password page, a login answered by a login, or held back
        OtherPage,        // a page, but not the statistics (its title in detail)
        GroupMissing,     // the statistics page without the noise-margin or rate group
    };

    QDateTime time;      // the wall-clock time: a label, never used for durations
    qint64 steadyMs = 0; // a steady clock's time, for durations and gaps within a run
    State state = State::NotRead;
    Why why = Why::NotResponding;
    QString detail;            // the other page's title, the missing group; plain text
    bool statsPage = false;    // the page was the statistics page (even with a group missing)
    LineSample sample;         // the values as read; zeros for a reading that was not read
    qint64 uptimeSeconds = -1; // -1: not read or not a number

    bool isRead() const { return state != State::NotRead; }

    // The state of a statistics page that was read: both groups present, and the one sync test.
    static State stateOf(const LineSample& sample) {
        if (!sample.HasNoiseMargin || !sample.HasDataRate)
            return State::NotRead;
        return sample.hasSync() ? State::Synced : State::NoSync;
    }

    // The statistics page read at time, its state from the values; the steady time is the wall
    // time (for tools and tests that feed readings without a steady clock).
    static LineReading ofPage(const QDateTime& time, const LineSample& sample) {
        LineReading r;
        r.time = time;
        r.steadyMs = time.toMSecsSinceEpoch();
        r.statsPage = true;
        r.sample = sample;
        r.state = stateOf(sample);
        r.why = r.isRead() ? Why::None : Why::GroupMissing;
        r.uptimeSeconds = r.isRead() ? LineSample::uptimeSeconds(sample.UptimeDisplay) : -1;
        return r;
    }

    // "synced", "no_sync", "not_read": the names in the record and on the web.
    static const char* stateName(State state) {
        switch (state) {
        case State::Synced:
            return "synced";
        case State::NoSync:
            return "no_sync";
        case State::NotRead:
            return "not_read";
        }
        return "not_read";
    }
    // "not_responding", ...: the reason's name in the record and on the web; "" for None.
    static const char* whyName(Why why) {
        switch (why) {
        case Why::None:
            return "";
        case Why::NotResponding:
            return "not_responding";
        case Why::NotReachable:
            return "not_reachable";
        case Why::PasswordRejected:
            return "password_rejected";
        case Why::OtherPage:
            return "other_page";
        case Why::GroupMissing:
            return "group_missing";
        }
        return "";
    }
    static std::optional<Why> whyFromName(QStringView name) {
        for (Why w : {Why::None, Why::NotResponding, Why::NotReachable, Why::PasswordRejected,
                      Why::OtherPage, Why::GroupMissing})
            if (name == QLatin1String(whyName(w)))
                return w;
        return std::nullopt;
    }
    // "not responding", "password rejected", ...: the reason as a person reads it.
    static QString whyText(Why why) {
        switch (why) {
        case Why::None:
            return QString();
        case Why::NotResponding:
            return QStringLiteral("router not responding");
        case Why::NotReachable:
            return QStringLiteral("router not reachable");
        case Why::PasswordRejected:
            return QStringLiteral("password rejected");
        case Why::OtherPage:
            return QStringLiteral("another page instead of the statistics");
        case Why::GroupMissing:
            return QStringLiteral("statistics incomplete");
        }
        return QString();
    }
};
