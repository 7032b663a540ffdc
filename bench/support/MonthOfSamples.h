#pragma once
// A month of samples (30 days at one every 10 seconds) as the data-restore file holds them.
#include "core/LineSample.h"
#include "storage/DataRestoreFile.h"

#include <QByteArray>
#include <QString>

namespace bench {

constexpr int kMonth = 259200;

inline LineSample sampleNumber(int i) {
    LineSample s;
    s.NoiseMarginUp = 6.0 + (i % 17) * 0.1;
    s.NoiseMarginDown = 5.5 + (i % 23) * 0.1;
    s.DataRateUp = 1024 + i % 7;
    s.DataRateDown = 16000 + i % 113;
    s.User1Up = 1100.5;
    s.User1Down = 17000 + i % 5;
    s.User2Up = 12.5;
    s.User2Down = 23 + (i % 9) * 0.01;
    return s;
}

inline QString labelNumber(int i) {
    return QStringLiteral(" Mon %1 \r %2:%3:%4 ")
        .arg(1 + i / 8640, 2, 10, QLatin1Char('0'))
        .arg(i / 360 % 24, 2, 10, QLatin1Char('0'))
        .arg(i / 6 % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 6 * 10, 2, 10, QLatin1Char('0'));
}

inline QByteArray monthOfLines() {
    QByteArray out;
    out.reserve(qsizetype(kMonth) * 72);
    for (int i = 0; i < kMonth; ++i) {
        out += DataRestoreFile::Line(labelNumber(i), sampleNumber(i));
        out += "\r\n";
    }
    return out;
}

} // namespace bench
