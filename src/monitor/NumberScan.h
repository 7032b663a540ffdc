#pragma once
// Number texts as the stats-page reader finds them: the scanner that picks a number out of the
// start of a cell, and the thousands separators for the toolbar.
#include <QLocale>
#include <QString>
#include <QStringView>

// The first run of digits, ",", "-" and "." within the first 10 characters of s; empty when
// those 10 characters hold none.
QString ExtractNumber(QStringView s);

// s with the locale's thousands separator inserted into its whole part (the part before the
// locale's decimal separator).
QString AddThouSep(const QString& s, const QLocale& locale = QLocale());
