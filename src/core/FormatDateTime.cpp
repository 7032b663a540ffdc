#include "core/FormatDateTime.h"

namespace {

const char* const kShortDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kLongDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};
const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// Token letters are ASCII in either case. Unicode case rules would turn other letters into
// tokens: the long s upper-cases to S, the Kelvin sign folds to k.
QChar asciiUpper(QChar c) {
    return c >= u'a' && c <= u'z' ? QChar(c.unicode() - (u'a' - u'A')) : c;
}

bool startsWithCI(const QString& s, qsizetype at, const char* token) {
    for (qsizetype k = 0; token[k] != '\0'; ++k) {
        if (at + k >= s.size() || asciiUpper(s.at(at + k)) != asciiUpper(QLatin1Char(token[k])))
            return false;
    }
    return true;
}

// Length of the am/pm token at position i, or 0.
qsizetype amPmTokenLength(const QString& s, qsizetype i) {
    if (startsWithCI(s, i, "am/pm"))
        return 5;
    if (startsWithCI(s, i, "ampm"))
        return 4;
    if (startsWithCI(s, i, "a/p"))
        return 3;
    return 0;
}

bool hasAmPmToken(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i)
        if (amPmTokenLength(s, i) > 0)
            return true;
    return false;
}

// A date that is not valid has no names: an empty text rather than a read outside the tables.
QLatin1String nameOf(const char* const* names, int count, int oneBased) {
    return oneBased >= 1 && oneBased <= count ? QLatin1String(names[oneBased - 1])
                                              : QLatin1String();
}

QString twoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FormatDateTime(const QString& pattern, const QDateTime& t) {
    const QDate date = t.date();
    const QTime time = t.time();
    const bool twelveHour = hasAmPmToken(pattern);
    QString out;
    out.reserve(pattern.size() + 16);
    QChar lastToken;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        QChar token = asciiUpper(c);
        qsizetype run = 1;
        while (i + run < pattern.size() && asciiUpper(pattern.at(i + run)) == token)
            ++run;
        if (token.isLetter() && token.unicode() < 128) {
            if (token == QLatin1Char('M') && lastToken == QLatin1Char('H'))
                token = QLatin1Char('N');
            lastToken = token;
        }
        switch (token.unicode()) {
        case 'D':
            if (run == 1)
                out += QString::number(date.day());
            else if (run == 2)
                out += twoDigits(date.day());
            else if (run == 3)
                out += nameOf(kShortDays, 7, date.dayOfWeek());
            else
                out += nameOf(kLongDays, 7, date.dayOfWeek());
            i += run;
            break;
        case 'M':
            if (run == 1)
                out += QString::number(date.month());
            else if (run == 2)
                out += twoDigits(date.month());
            else if (run == 3)
                out += nameOf(kShortMonths, 12, date.month());
            else
                out += nameOf(kLongMonths, 12, date.month());
            i += run;
            break;
        case 'N': // minutes; also m/mm directly after an hour token
            run = qMin<qsizetype>(run, 2);
            out += run == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            i += run;
            break;
        case 'Y':
            if (run <= 2)
                out += twoDigits(date.year() % 100);
            else
                out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            i += run;
            break;
        case 'H': {
            run = qMin<qsizetype>(run, 2);
            int h = time.hour();
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += run == 1 ? QString::number(h) : twoDigits(h);
            i += run;
            break;
        }
        case 'S':
            run = qMin<qsizetype>(run, 2);
            out += run == 1 ? QString::number(time.second()) : twoDigits(time.second());
            i += run;
            break;
        case 'A': {
            const qsizetype len = amPmTokenLength(pattern, i);
            const bool pm = time.hour() >= 12;
            if (len == 5) { // the token's own letters, in the case written
                out += pm ? pattern.mid(i + 3, 2) : pattern.mid(i, 2);
            } else if (len == 3) {
                out += pm ? pattern.mid(i + 2, 1) : pattern.mid(i, 1);
            } else if (len == 4) {
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            } else {
                out += c;
                i += 1;
                break;
            }
            i += len;
            break;
        }
        default:
            out += c;
            i += 1;
            break;
        }
    }
    return out;
}
