#pragma once
// Number texts: the router's numbers (always "." as decimal separator) and the "#.##" pattern
// with the user's locale separators.
#include <QLocale>
#include <QString>

// The whole text as a number with "." as decimal separator (blanks around it allowed);
// anything else, thousands separators included, gives 0.
double ParseRouterNumber(QStringView text);

// The same, reporting whether the text was a number.
bool TryParseRouterNumber(QStringView text, double& value);

// "#.##": at most two decimals, trailing zeros and a trailing separator dropped.
QString FormatHashes(double value, const QLocale& locale = QLocale());
