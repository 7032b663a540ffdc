#include "graphs/ChartMouseCycle.h"

#include "core/SamplingControl.h"
#include "graphs/AxisRanging.h"

#include <QCoreApplication>

using AxisRanging::MoveWindow;
using AxisRanging::TrySetMinimum;

namespace {

constexpr int kChart1 = 0;
constexpr int kChart2 = 1;
constexpr int kChart5 = 4;

} // namespace

ChartMouseCycle::ChartMouseCycle(std::array<ChartModel*, 5> charts, SamplingControl& sampling)
    : charts_(charts), sampling_(sampling),
      processPending_([] { QCoreApplication::processEvents(); }) {}

QString ChartMouseCycle::MouseDown(int chartIndex, Qt::MouseButton button, bool shift, bool ctrl,
                                   int x, int /*y*/, int mainWindowWidth) {
    ChartModel& chart = *charts_[size_t(chartIndex)];
    // Only the left button can drag. A right press opens the chart menu, which swallows the
    // release for as long as it stays open: holding sampling there would stop it for that long.
    if (button == Qt::LeftButton && !suspendedByPress_) {
        sampling_.suspendSampling();
        suspendedByPress_ = true;
    }
    DragLeftMin = chart.leftAxis().minimum();
    DragLeftMax = chart.leftAxis().maximum();
    DragRightMin = chart.rightAxis().minimum();
    DragRightMax = chart.rightAxis().maximum();
    DragShift = shift;
    DragCtrl = ctrl;
    SavedPanning = chart.panningMode();
    if (button == Qt::RightButton)
        return QString();

    // The zones are measured against the main window's width: the charts fill their tab.
    const int w = mainWindowWidth;
    if ((40 < x && x < 70) || (w - 110 < x && x < w - 80)) {
        chart.setPanningMode(PanningMode::Vertical);
        return shift ? QStringLiteral("cursorNS") : QStringLiteral("cursorN");
    }
    if (chart.panningMode() == PanningMode::Both) {
        chart.setPanningMode(PanningMode::Horizontal);
        return QStringLiteral("cursorEW");
    }
    chart.setPanningMode(PanningMode::None);
    return QStringLiteral("cursorNO");
}

// A saved range goes back in whichever order the engine accepts after the pan moved the axis.
void ChartMouseCycle::restoreLeft(ChartModel& chart) const {
    MoveWindow(chart.leftAxis(), DragLeftMin, DragLeftMax);
}

void ChartMouseCycle::restoreRight(ChartModel& chart) const {
    MoveWindow(chart.rightAxis(), DragRightMin, DragRightMax);
}

void ChartMouseCycle::Scroll(int chartIndex, int pointerScreenX, int mainWindowLeft,
                             int mainWindowWidth) {
    ChartModel& chart = *charts_[size_t(chartIndex)];
    ChartScrolled = true;
    if (DragCtrl) {
        restoreLeft(chart);
        restoreRight(chart);
        return;
    }
    // A single minimum assignment that the engine would refuse (a pan jump larger than the whole
    // axis) is left out for that move rather than stopping the drag with an error.
    if (pointerScreenX - mainWindowLeft < 150) {
        restoreRight(chart);
        ChartAxis& left = chart.leftAxis();
        if (!DragShift)
            TrySetMinimum(left, DragLeftMin);
        if (chartIndex != kChart1 && left.minimum() < 0)
            TrySetMinimum(left, 0);
    } else if (pointerScreenX > mainWindowLeft + mainWindowWidth - 150) {
        restoreLeft(chart);
        ChartAxis& left = chart.leftAxis();
        if (chartIndex == kChart2 && left.minimum() < 0)
            TrySetMinimum(left, 0);
        ChartAxis& right = chart.rightAxis();
        if (!DragShift)
            TrySetMinimum(right, DragRightMin);
        if (chartIndex == kChart2 && right.minimum() < 0)
            TrySetMinimum(right, 0);
    }
}

void ChartMouseCycle::MouseUp(int chartIndex) {
    ChartModel& released = *charts_[size_t(chartIndex)];
    // Holds SamplingSuspended false again and restarts the sample timer (a full interval) when
    // Running; a release whose press held nothing leaves the timer's interval alone.
    if (suspendedByPress_) {
        suspendedByPress_ = false;
        sampling_.resumeSampling();
    }
    DragShift = false;
    DragCtrl = false;
    released.setPanningMode(SavedPanning);

    if (ChartScrolled) {
        const double min = released.bottomAxis().minimum();
        const double max = released.bottomAxis().maximum();
        try {
            for (int i = 0; i < kChart5; ++i) {
                ChartAxis& bottom = charts_[size_t(i)]->bottomAxis();
                if (bottom.minimum() > max) {
                    bottom.setMinimum(min);
                    bottom.setMaximum(max);
                } else {
                    bottom.setMaximum(max);
                    bottom.setMinimum(min);
                }
            }
            ChartScrolled = false;
        } catch (const AxisRangeError&) {
            // A refused window ends the synchronisation; the flag stays set.
        }
    }

    if (restoreCursor_)
        restoreCursor_();
    if (processPending_)
        processPending_();

    // The web-image chart follows the Noise Margin graph's vertical scale: left max, left min,
    // right max, right min; the first assignment the engine would refuse ends the copy.
    const ChartModel& chart1 = *charts_[kChart1];
    ChartModel& chart5 = *charts_[kChart5];
    [&] {
        if (!AxisRanging::TrySetMaximum(chart5.leftAxis(), chart1.leftAxis().maximum()))
            return;
        if (!TrySetMinimum(chart5.leftAxis(), chart1.leftAxis().minimum()))
            return;
        if (!AxisRanging::TrySetMaximum(chart5.rightAxis(), chart1.rightAxis().maximum()))
            return;
        TrySetMinimum(chart5.rightAxis(), chart1.rightAxis().minimum());
    }();
}
