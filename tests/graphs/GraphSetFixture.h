#pragma once
// A graph set over default settings, with recorded messages and sampling calls, for the graphs'
// tests.
#include "core/SamplingControl.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"

#include "RecordingMessages.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <utility>

class RecordingSampling final : public SamplingControl {
public:
    void suspendSampling() override { calls << QStringLiteral("suspend"); }
    void resumeSampling() override { calls << QStringLiteral("resume"); }
    QStringList calls;
};

using Window = std::pair<double, double>; // an axis's minimum and maximum

inline Window windowOf(const ChartAxis& axis) {
    return {axis.minimum(), axis.maximum()};
}

class GraphSetTest : public ::testing::Test {
protected:
    Settings settings;
    RecordingMessages messages;
    RecordingSampling sampling;
    GraphSet graphs{settings, messages, sampling};

    // Ordinary samples: their values stay inside the default axes once these have grown.
    void append(int samples) {
        for (int i = 0; i < samples; ++i) {
            LineSample s;
            s.NoiseMarginUp = 6;
            s.NoiseMarginDown = 8;
            s.DataRateUp = 1000;
            s.DataRateDown = 10000;
            graphs.AppendSample(QStringLiteral(" 12:00:00 "), QStringLiteral(" 12:00:01 "), s);
        }
    }

    Window bottom(int chart) const { return windowOf(graphs.chart(chart).bottomAxis()); }
    Window left(int chart) const { return windowOf(graphs.chart(chart).leftAxis()); }
    Window right(int chart) const { return windowOf(graphs.chart(chart).rightAxis()); }

    // Puts an axis at [min, max] whatever it holds now.
    static void place(ChartAxis& axis, double min, double max) {
        if (min > axis.maximum()) {
            axis.setMaximum(max);
            axis.setMinimum(min);
        } else {
            axis.setMinimum(min);
            axis.setMaximum(max);
        }
    }
    // The four visible windows at [min, max], as a pan or a page button leaves them.
    void placeVisibleWindows(double min, double max) {
        for (int c = GraphSet::Chart1; c <= GraphSet::Chart4; ++c)
            place(graphs.chart(c).bottomAxis(), min, max);
    }
};
