#pragma once
// The words every view uses for the line while it is not plainly up: "No sync since 10:31:05",
// and, while the router is not read, the router's state followed by the last reading that was
// read ("Not responding since 10:31:05; last reading 10:30:35: 6.2 dB, 15,623 Kbps"). The status
// bar, the tray and the live page all say it this one way, and never show an unread reading's
// zeros as values.
#include "core/LineReading.h"

#include <QDateTime>
#include <QString>
#include <optional>

class ReadingText {
public:
    // "10:31:05".
    static QString timeOfDay(const QDateTime& t);
    // "No sync since 10:31:05".
    static QString noSyncSince(const QDateTime& since);
    // A read reading's downstream noise margin and sync rate, "6.2 dB, 15,623 Kbps"; "no sync"
    // for one without sync.
    static QString values(const LineReading& read);
    // "last reading 10:30:35: 6.2 dB, 15,623 Kbps".
    static QString lastReadText(const LineReading& read);
    // The router's state as the status bar says it, followed, while the last reading was not
    // read, by the last one that was. Without a read reading the router's state alone; without
    // the router's state, the reason the last reading was not read.
    static QString stateLine(const QString& routerText, const std::optional<LineReading>& last,
                             const std::optional<LineReading>& lastRead);
};
