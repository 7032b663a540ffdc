#include "monitor/NumberScan.h"

namespace {

bool isNumberChar(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u',' || c == u'-' || c == u'.';
}

} // namespace

QString ExtractNumber(QStringView s) {
    const QStringView window = s.left(10);
    qsizetype start = 0;
    while (start < window.size() && !isNumberChar(window[start]))
        ++start;
    qsizetype end = start;
    while (end < window.size() && isNumberChar(window[end]))
        ++end;
    return window.mid(start, end - start).toString();
}

QString AddThouSep(const QString& s, const QLocale& locale) {
    const QString decimal = locale.decimalPoint();
    const qsizetype decimalAt = decimal.isEmpty() ? -1 : s.indexOf(decimal);
    // A leading separator (".5") does not end the whole part.
    const qsizetype wholeLength = decimalAt >= 1 ? decimalAt : s.size();
    const QString separator = locale.groupSeparator();
    QString result = s;
    // Right to left, so earlier insertion points keep their places.
    for (qsizetype before = wholeLength - 3; before > 0; before -= 3)
        result.insert(before, separator);
    return result;
}
