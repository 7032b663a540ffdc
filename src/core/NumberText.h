#pragma once
// Number texts: the router's numbers (always "." as decimal separator) and the "#.##" pattern
// with the user's locale separators.
#include <QLocale>
#include <QString>

// The largest magnitude a router number may have: the widest field the router writes is an
// unsigned 32-bit one (a noise margin that wrapped is one). Anything beyond is not a value of the
// page, and taking it would overflow the whole numbers the report and the table make of it.
constexpr double kRouterNumberLimit = 4294967296.0;

// The whole text as a number with "." as decimal separator (blanks around it allowed), at most
// kRouterNumberLimit either side of 0; anything else, thousands separators included, gives 0.
double ParseRouterNumber(QStringView text);

// The same, reporting whether the text was such a number.
bool TryParseRouterNumber(QStringView text, double& value);

// "#.##": at most two decimals, trailing zeros and a trailing separator dropped.
QString FormatHashes(double value, const QLocale& locale = QLocale());
