#pragma once
// Press, pan and release on the visible graphs: vertical-axis dragging near the axes, page panning
// in the middle, the four windows kept together after a pan, and sampling held during a left drag.
#include "charting/ChartModel.h"

#include <QString>
#include <array>
#include <functional>

class SamplingControl;

class ChartMouseCycle {
public:
    // charts: Chart1..Chart5 (index 0..4); only Chart1..Chart4 take mouse input.
    ChartMouseCycle(std::array<ChartModel*, 5> charts, SamplingControl& sampling);

    // The press on chart chartIndex (0..3) at (x, y) in its client coordinates; mainWindowWidth
    // is the outer width of the main window. Returns the cursor to show while pressed ("cursorN",
    // "cursorNS", "cursorEW", "cursorNO"), or an empty text for the right button (its menu opens).
    QString MouseDown(int chartIndex, Qt::MouseButton button, bool shift, bool ctrl, int x, int y,
                      int mainWindowWidth);
    // After every shift the engine made while panning chart chartIndex; pointerScreenX is the
    // pointer's screen position, mainWindowLeft the main window's screen left edge.
    void Scroll(int chartIndex, int pointerScreenX, int mainWindowLeft, int mainWindowWidth);
    // The release of any button on chart chartIndex. Sampling is held from a left press to the
    // next release only.
    void MouseUp(int chartIndex);

    // Run by the release, in this order, between the window synchronisation and Chart5 taking
    // Chart1's vertical ranges: the default cursor back, then pending window messages processed
    // (by default QCoreApplication::processEvents).
    void SetRestoreCursor(std::function<void()> restore) { restoreCursor_ = std::move(restore); }
    void SetProcessPendingMessages(std::function<void()> process) {
        processPending_ = std::move(process);
    }

    // The cycle's state, for the window and for tests.
    double DragLeftMin = 0, DragLeftMax = 0, DragRightMin = 0, DragRightMax = 0;
    bool DragShift = false;
    bool DragCtrl = false;
    bool ChartScrolled = false;
    PanningMode SavedPanning = PanningMode::None;

private:
    std::array<ChartModel*, 5> charts_;
    SamplingControl& sampling_;
    std::function<void()> restoreCursor_;
    std::function<void()> processPending_;
    bool suspendedByPress_ = false;

    void restoreLeft(ChartModel& chart) const;
    void restoreRight(ChartModel& chart) const;
};
