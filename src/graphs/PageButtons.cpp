#include "graphs/PageButtons.h"

#include "graphs/AxisRanging.h"

#include <algorithm>

using AxisRanging::MoveWindow;

PageButtons::PageButtons(std::array<ChartModel*, 4> charts, std::function<int()> pointCount,
                         std::function<int()> pointsPerPage)
    : charts_(charts), pointCount_(std::move(pointCount)),
      pointsPerPage_(std::move(pointsPerPage)) {}

// Every move below goes through MoveWindow, so a window the user panned beyond either end of the
// history still comes back without a refusal.

void PageButtons::btnHomeClick() {
    const double page = pointsPerPage_();
    for (ChartModel* chart : charts_)
        MoveWindow(chart->bottomAxis(), 0, page);
}

void PageButtons::btnChartBack1Click() {
    const double page = pointsPerPage_();
    // Chart1 decides for all four: they are moved by the same amounts.
    const bool toStart = page >= charts_[0]->bottomAxis().minimum();
    for (ChartModel* chart : charts_) {
        ChartAxis& bottom = chart->bottomAxis();
        const double min = toStart ? 0.0 : bottom.minimum() - page;
        MoveWindow(bottom, min, min + page);
    }
}

void PageButtons::btnChartForwardClick() {
    const int count = pointCount_();
    const int page = pointsPerPage_();
    if (count > page + charts_[0]->bottomAxis().maximum() && page < count) {
        for (ChartModel* chart : charts_) {
            ChartAxis& bottom = chart->bottomAxis();
            const double max = bottom.maximum() + page;
            MoveWindow(bottom, max - page, max);
        }
        return;
    }
    // Less than a further page beyond the window: the same as ">|".
    btnForwardHomeClick();
}

void PageButtons::btnForwardHomeClick() {
    if (start_)
        start_();
    // Read after the start, which may already have plotted a sample.
    const int count = pointCount_();
    const int page = pointsPerPage_();
    if (page < count) {
        for (ChartModel* chart : charts_)
            MoveWindow(chart->bottomAxis(), double(count - page), double(count));
    }
}

void PageButtons::showPoints(qsizetype first, qsizetype last) {
    const qsizetype count = pointCount_();
    const qsizetype page = pointsPerPage_();
    qsizetype min = 0;
    if (page < count) {
        min = last - first < page ? (first + last) / 2 - page / 2 : first - page / 4;
        min = std::clamp<qsizetype>(min, 0, count - page);
    }
    for (ChartModel* chart : charts_)
        MoveWindow(chart->bottomAxis(), double(min), double(min + page));
}

bool PageButtons::PageButtonsVisible(int x, int y, int chartLeft, int chartWidth, int chartHeight) {
    return chartHeight - 150 < y && y < chartHeight - 30 && chartLeft + 50 < x &&
           x < chartWidth - 50;
}
