#pragma once
// Readings for the tests of what shows the line: a statistics page's values, and a page that
// did not read the line.
#include "core/LineReading.h"

#include <QDateTime>

// A statistics page with both groups and the first user graph's values.
inline LineSample statsSample(double marginDown, double rateDown,
                              const QString& uptime = QStringLiteral("1 day, 01:00:00")) {
    LineSample s;
    s.NoiseMarginUp = 6.3;
    s.NoiseMarginDown = marginDown;
    s.HasNoiseMargin = true;
    s.DataRateUp = 1100;
    s.DataRateDown = rateDown;
    s.HasDataRate = true;
    s.User1Up = 1200;
    s.User1Down = 18000;
    s.HasUser1 = true;
    s.UptimeDisplay = uptime;
    return s;
}

// A page that did not read the line, with the zeros the graphs get for it.
inline LineReading unreadReading(const QDateTime& t,
                                 LineReading::Why why = LineReading::Why::NotResponding) {
    LineReading r;
    r.time = t;
    r.state = LineReading::State::NotRead;
    r.why = why;
    r.sample.setZeroSample();
    return r;
}
