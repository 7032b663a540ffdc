#include "monitor/StatsPageReader.h"

#include "core/DayCount.h"
#include "core/NumberText.h"
#include "monitor/NumberScan.h"

#include <climits>
#include <cmath>
#include <optional>

namespace {

// The page's fixed layout: where each value sits relative to its label.
constexpr qsizetype kRowOffset = 8;      // noise margin and data rate: from the label start
constexpr qsizetype kUserRowOffset = 35; // user-defined rows: from the label start
constexpr qsizetype kRowWindow = 200;
constexpr qsizetype kCellWindow = 100;
constexpr qsizetype kNoiseCellWindow = 20;
constexpr qsizetype kUserCellWindow = 30;
constexpr qsizetype kUptimeWindow = 18;

// Trimming treats the space and every control character (tabs, line breaks) as blank.
bool isBlank(QChar c) {
    return c.unicode() <= u' ';
}

QStringView trimBlanks(QStringView s) {
    qsizetype start = 0, end = s.size();
    while (start < end && isBlank(s[start]))
        ++start;
    while (end > start && isBlank(s[end - 1]))
        --end;
    return s.mid(start, end - start);
}

// At most n characters after the first ">" of w; w's first n characters when it has none.
QStringView afterTag(QStringView w, qsizetype n) {
    return w.mid(w.indexOf(u'>') + 1, n);
}

// The text after the first "/" of w, all of w when it has none, trimmed.
QStringView afterSlash(QStringView w) {
    return trimBlanks(w.mid(w.indexOf(u'/') + 1));
}

// r up to its first "</", trimmed; empty when r has no "</".
QStringView beforeClosingTag(QStringView r) {
    const qsizetype end = r.indexOf(u"</");
    return end < 0 ? QStringView() : trimBlanks(r.left(end));
}

QString orZero(QString text) {
    return text.isEmpty() ? QStringLiteral("0") : text;
}

// A whole number with optional leading blanks and sign that fits 32 bits; nothing otherwise.
std::optional<qint64> wholeNumber(QStringView t) {
    qsizetype i = 0;
    while (i < t.size() && isBlank(t[i]))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        negative = t[i++] == u'-';
    if (i == t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9')
            return std::nullopt;
        value = value * 10 + (t[i].unicode() - u'0');
        if (value > qint64(INT_MAX) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return value;
}

QString twoDigits(qint64 n) {
    QString s = QString::number(n < 0 ? -n : n);
    if (s.size() < 2)
        s.prepend(u'0');
    return n < 0 ? u'-' + s : s;
}

// The router sometimes reports a noise margin as an unsigned wrap of a small value. The text is
// corrected with the value, keeping the decimals it was written with, so that the toolbar and the
// log show what the graph plots.
void unwrapNoiseMargin(QString& text, double& value) {
    if (value <= 2140000000.0)
        return;
    value -= 2147483648.0;
    const qsizetype point = text.indexOf(u'.');
    int decimals = 0;
    for (qsizetype i = point + 1;
         point >= 0 && i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        ++decimals;
    text = QString::number(value, 'f', qMin(decimals, 6));
}

// A number text in Mbps as Kbps, 0 when it is not a router number in Kbps either. The decimal
// point moves three places in the text itself: multiplying the double would read 32.3 Mbps as
// 32299.999... Kbps, whose whole part is one short.
double kbpsFromMbps(const QString& number) {
    double value = 0;
    if (!TryParseRouterNumber(number, value))
        return 0;
    const QString text = number.trimmed();
    if (text.contains(u'e') || text.contains(u'E')) {
        const double kbps = value * 1000.0;
        return std::fabs(kbps) <= kRouterNumberLimit ? kbps : 0;
    }
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    const QString shifted =
        whole + fraction.left(3).leftJustified(3, u'0') + u'.' + fraction.mid(3);
    return ParseRouterNumber(shifted);
}

// The whole part in decimal. The downstream text is not limited to the scanner's 10 characters,
// so the value can be wider than 32 bits ("4e9").
QString wholePartText(double v) {
    return QString::number(std::trunc(v) + 0.0, 'f', 0); // + 0.0 turns -0 into 0
}

// The uptime's text on the page: what follows "wait =", up to a ";", at most 18 characters.
std::optional<QStringView> uptimeText(QStringView page) {
    const qsizetype p = page.indexOf(u"wait =");
    if (p < 0)
        return std::nullopt;
    QStringView t = page.mid(p + 6, kUptimeWindow);
    const qsizetype semicolon = t.indexOf(u';');
    if (semicolon >= 0)
        t = t.left(semicolon);
    return t;
}

void readUptime(QStringView page, bool logDays, LineSample& sample, ToolbarTexts& toolbar) {
    const std::optional<QStringView> t = uptimeText(page);
    if (!t) {
        sample.UptimeDisplay.clear(); // the log keeps the last uptime read
        return;
    }
    sample.UptimeText = t->toString();

    // Shown as 0 when it is not a number, as it always was; the reading says it is unknown.
    const qint64 seconds = wholeNumber(*t).value_or(0) + 1;
    const qint64 days = seconds / 86400;
    const qint64 totalMinutes = seconds / 60;
    const qint64 totalHours = totalMinutes / 60;
    const QString clock = twoDigits(totalHours - 24 * days) + u':' +
                          twoDigits(totalMinutes - 60 * totalHours) + u':' +
                          twoDigits(seconds - 60 * totalMinutes);
    const QString display = DayCount::text(days) + QStringLiteral(", ") + clock;
    sample.UptimeDisplay = display;
    toolbar.uptime = display;
    // The log's form is the same whether the display says "day" or "days": "1:01:01:02".
    if (logDays)
        sample.UptimeText = QString::number(days) + u':' + clock;
}

void readNoiseMargin(QStringView page, LineSample& sample, ToolbarTexts& toolbar) {
    const qsizetype p = page.indexOf(u" Noise margin:");
    sample.HasNoiseMargin = p >= 0;
    if (p < 0) {
        sample.NoiseMarginUp = sample.NoiseMarginDown = 0;
        sample.NoiseMarginUpText.clear();
        sample.NoiseMarginDownText.clear();
        return;
    }
    QStringView w = page.mid(p + kRowOffset, kRowWindow);
    w = afterTag(afterTag(w, kCellWindow), kCellWindow).left(kNoiseCellWindow);
    sample.NoiseMarginUpText = orZero(ExtractNumber(w));
    sample.NoiseMarginDownText = orZero(beforeClosingTag(afterSlash(w)).toString());
    sample.NoiseMarginUp = ParseRouterNumber(sample.NoiseMarginUpText);
    sample.NoiseMarginDown = ParseRouterNumber(sample.NoiseMarginDownText);
    unwrapNoiseMargin(sample.NoiseMarginUpText, sample.NoiseMarginUp);
    unwrapNoiseMargin(sample.NoiseMarginDownText, sample.NoiseMarginDown);
    toolbar.noiseMarginUp = sample.NoiseMarginUpText + QStringLiteral(" dB");
    toolbar.noiseMarginDown = sample.NoiseMarginDownText + QStringLiteral(" dB");
}

void readDataRate(QStringView page, const QLocale& locale, LineSample& sample,
                  ToolbarTexts& toolbar) {
    const qsizetype p = page.indexOf(u"Data rate:");
    sample.HasDataRate = p >= 0;
    sample.DataRateUp = 0;
    sample.DataRateUpText.clear();
    QStringView w; // stays empty without the label, so downstream reads "0"
    if (p >= 0) {
        w = page.mid(p + kRowOffset, kRowWindow);
        w = afterTag(afterTag(w, kCellWindow), kCellWindow);
        const QString number = orZero(ExtractNumber(w));
        sample.DataRateUp = w.contains(u"Mbps") ? kbpsFromMbps(number) : ParseRouterNumber(number);
        sample.DataRateUpText = wholePartText(sample.DataRateUp);
        toolbar.rateUp = AddThouSep(sample.DataRateUpText, locale) + QStringLiteral(" Kbps");
    }
    sample.DataRateDownRawText = orZero(beforeClosingTag(afterSlash(w)).toString());
    if (sample.DataRateDownRawText.contains(u"Mbps")) {
        // The downstream value carries its unit in its own text ("15.6 Mbps"): scanned and scaled
        // like the upstream one, and shown and logged as its whole Kbps figure.
        sample.DataRateDown = kbpsFromMbps(orZero(ExtractNumber(sample.DataRateDownRawText)));
        sample.DataRateDownText = wholePartText(sample.DataRateDown);
        sample.DataRateDownRawText = sample.DataRateDownText;
    } else {
        sample.DataRateDown = ParseRouterNumber(sample.DataRateDownRawText);
        sample.DataRateDownText = wholePartText(sample.DataRateDown);
    }
    toolbar.rateDown = AddThouSep(sample.DataRateDownRawText, locale) + QStringLiteral(" Kbps");
}

void readUserRow(QStringView page, int itemIndex, double& up, double& down, QString& upText,
                 QString& downText, bool& has) {
    const qsizetype p = page.indexOf(StatsPageReader::userGraphLabel(itemIndex));
    has = p >= 0;
    if (p < 0) {
        up = down = 0;
        upText.clear();
        downText.clear();
        return;
    }
    const QStringView w = afterTag(page.mid(p + kUserRowOffset, kRowWindow), kUserCellWindow);
    upText = orZero(ExtractNumber(w));
    downText = orZero(ExtractNumber(afterSlash(w)));
    up = ParseRouterNumber(upText);
    down = ParseRouterNumber(downText);
}

} // namespace

QString StatsPageReader::userGraphLabel(int itemIndex) {
    switch (itemIndex) {
    case 0:
        return QStringLiteral("Maximum data rate:");
    case 1:
        return QStringLiteral("Line attenuation");
    default:
        // Without its first letters, so "Signal" and "signal" both match.
        return QStringLiteral("gnal attenuation");
    }
}

qint64 StatsPageReader::uptimeSeconds(const QString& markup) {
    const std::optional<QStringView> t = uptimeText(markup);
    const std::optional<qint64> n = t ? wholeNumber(*t) : std::nullopt;
    // The same second as the toolbar shows.
    return n && *n + 1 >= 0 ? *n + 1 : -1;
}

ToolbarTexts StatsPageReader::BTHomeHub5A(const QString& markup, int user1Index, int user2Index,
                                          bool logDays, LineSample& sample, const QLocale& locale) {
    ToolbarTexts toolbar;
    const QStringView page(markup);
    readUptime(page, logDays, sample, toolbar);
    readNoiseMargin(page, sample, toolbar);
    readDataRate(page, locale, sample, toolbar);
    readUserRow(page, user1Index, sample.User1Up, sample.User1Down, sample.User1UpText,
                sample.User1DownText, sample.HasUser1);
    readUserRow(page, user2Index, sample.User2Up, sample.User2Down, sample.User2UpText,
                sample.User2DownText, sample.HasUser2);
    return toolbar;
}
