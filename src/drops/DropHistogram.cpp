#include "drops/DropHistogram.h"

#include <algorithm>

DropHistogram::DropHistogram() {
    chart_.bottomAxis().labelAngle = 0;
    chart_.bottomAxis().gridVisible = false;
    chart_.bottomAxis().startPercent = 0;
    chart_.bottomAxis().endPercent = 100;
    chart_.bottomAxis().title = QStringLiteral("Drops per day, last 30 days");
    chart_.rightAxis().visible = false;
    chart_.leftAxis().startPercent = 4;
    chart_.leftAxis().endPercent = 100;
    chart_.leftAxis().minLabelSpacingPercent = 40;
    // Half a day on either side, so the first and the last bar are whole.
    chart_.bottomAxis().setMaximum(29.5);
    chart_.bottomAxis().setMinimum(-0.5);
    bars_ = &chart_.addSeries(VerticalAxis::Left, nullptr);
    bars_->setStyle(LineSeries::Style::Bars);
}

void DropHistogram::show(const DropSummary& summary, const QDate& today) {
    bars_->clear();
    // The labels are the bars' own: nothing else shares them.
    bars_->labels()->clear();
    int most = 0;
    for (size_t i = 0; i < summary.perDay.size(); ++i) {
        const QDate day = today.addDays(qint64(i) - qint64(summary.perDay.size() - 1));
        bars_->append(summary.perDay[i], QString::number(day.day()), QColor(128, 0, 0));
        most = std::max(most, summary.perDay[i]);
    }
    // Whole numbers on the axis: at least 0..2, a little room above the highest bar.
    ChartAxis& left = chart_.leftAxis();
    const double top = std::max(2, most + (most + 4) / 5);
    left.setMaximum(top);
    left.setMinimum(0);
    chart_.notifyChanged();
}
