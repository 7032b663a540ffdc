#include "core/ReadingText.h"

#include "core/FormatDateTime.h"

#include <QLocale>
#include <cmath>

QString ReadingText::timeOfDay(const QDateTime& t) {
    return FormatDateTime(QStringLiteral("hh:mm:ss"), t);
}

QString ReadingText::noSyncSince(const QDateTime& since) {
    return QStringLiteral("No sync since ") + timeOfDay(since);
}

QString ReadingText::values(const LineReading& read) {
    if (read.state != LineReading::State::Synced)
        return QStringLiteral("no sync");
    // A tenth of a dB is all the router shows; whole Kbps with thousands marked, whatever the
    // desktop's locale, so that the live page says the same.
    const double margin = std::round(read.sample.NoiseMarginDown * 10) / 10;
    const QString rate =
        QLocale(QLocale::English).toString(qlonglong(std::llround(read.sample.DataRateDown)));
    return QString::number(margin, 'g', 15) + QStringLiteral(" dB, ") + rate +
           QStringLiteral(" Kbps");
}

QString ReadingText::lastReadText(const LineReading& read) {
    return QStringLiteral("last reading ") + timeOfDay(read.time) + QStringLiteral(": ") +
           values(read);
}

QString ReadingText::stateLine(const QString& routerText, const std::optional<LineReading>& last,
                               const std::optional<LineReading>& lastRead) {
    if (!last || last->isRead())
        return routerText;
    // Without the router's state (a page served before the window told it), the reason.
    QString head = routerText;
    if (head.isEmpty()) {
        head = LineReading::whyText(last->why);
        if (!head.isEmpty())
            head[0] = head[0].toUpper();
    }
    if (!lastRead)
        return head;
    return head + QStringLiteral("; ") + lastReadText(*lastRead);
}
