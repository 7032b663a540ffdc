#pragma once
// The four page buttons under the visible graphs ("|<", "<", ">", ">|"), which move the page
// windows of Chart1..Chart4 together through the history, and when their panels show.
#include "charting/ChartModel.h"

#include <array>
#include <functional>

class PageButtons {
public:
    // charts: Chart1..Chart4; pointCount and pointsPerPage are read at every click; start is the
    // Start/Resume operation of run control (">|" runs it first).
    PageButtons(std::array<ChartModel*, 4> charts, std::function<int()> pointCount,
                std::function<int()> pointsPerPage);
    void SetStartHandler(std::function<void()> start) { start_ = std::move(start); }

    // A refusal by the engine (only possible with a negative page size) leaves the click with
    // AxisRangeError at the refused assignment; the window shows it in the standard error box.
    void btnHomeClick();
    void btnChartBack1Click();
    void btnChartForwardClick();
    void btnForwardHomeClick();
    // Moves the four windows together to show points first..last: centred on them when they fit
    // a page, else from a quarter page before the first; never beyond either end of the history.
    void showPoints(qsizetype first, qsizetype last);

    // Whether the panels show for the pointer at (x, y) in the chart's client coordinates.
    static bool PageButtonsVisible(int x, int y, int chartLeft, int chartWidth, int chartHeight);

private:
    std::array<ChartModel*, 4> charts_;
    std::function<int()> pointCount_;
    std::function<int()> pointsPerPage_;
    std::function<void()> start_;
};
