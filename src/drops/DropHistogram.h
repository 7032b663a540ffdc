#pragma once
// The drops of each of the last 30 days as bars for the charting engine: one point per day,
// the oldest on the left, each labelled with its day of the month.
#include "charting/ChartModel.h"
#include "drops/DropStatistics.h"

#include <QDate>

class DropHistogram {
public:
    DropHistogram();

    ChartModel& chart() { return chart_; }
    const ChartModel& chart() const { return chart_; }
    // The summary's drops per day, today being its last day.
    void show(const DropSummary& summary, const QDate& today);

private:
    ChartModel chart_;
    LineSeries* bars_ = nullptr;
};
