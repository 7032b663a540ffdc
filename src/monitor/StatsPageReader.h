#pragma once
// Reads one LineSample, and the toolbar texts that go with it, out of the markup of the
// router's "Information for Helpdesk agents" page.
#include "core/LineSample.h"

#include <QLocale>
#include <QString>

// Toolbar texts of one sample: Label25, Label20, Label22, Label15, Label23. Empty when the page
// lacked the value.
struct ToolbarTexts {
    QString uptime, noiseMarginUp, noiseMarginDown, rateUp, rateDown;
};

class StatsPageReader {
public:
    // Fills `sample` from the page markup and returns the toolbar texts; a label that is absent
    // leaves its toolbar text empty. user1Index/user2Index are the item indexes of boxUser1 and
    // boxUser2. Router numbers always use "." as decimal separator; `locale` only supplies the
    // thousands separators of the rate texts.
    static ToolbarTexts BTHomeHub5A(const QString& markup, int user1Index, int user2Index,
                                    bool logDays, LineSample& sample,
                                    const QLocale& locale = QLocale());

    // The router's uptime in seconds, as the toolbar shows it; -1 when the page has none or it
    // is not a whole number (the toolbar then shows a second).
    static qint64 uptimeSeconds(const QString& markup);

    // The label searched for a user-defined graph's item index.
    static QString userGraphLabel(int itemIndex);
};
