#pragma once
// The program's date-time pattern language (letters in either case):
// d dd ddd dddd, m mm mmm mmmm (m/mm directly after an hour token: minutes), n nn, yy yyyy,
// h hh (12-hour when an am/pm token is present: am/pm, a/p, ampm), s ss; every other character
// is copied. Day and month names are English whatever the locale.
#include <QDateTime>
#include <QString>

QString FormatDateTime(const QString& pattern, const QDateTime& t);
