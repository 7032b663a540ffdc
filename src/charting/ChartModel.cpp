#include "charting/ChartModel.h"

ChartModel::ChartModel(QObject* parent) : QObject(parent) {
    // The graphs' look: Arial 8 pt everywhere, point labels standing upright under the plot,
    // the bottom axis from 2 % to 99 % of the width, the vertical axes from 1 % to 98 % of the
    // height, and no grid for the right axis.
    const QFont font(QStringLiteral("Arial"), 8);
    for (ChartAxis* axis : {&bottom_, &left_, &right_}) {
        axis->labelFont = font;
        axis->setChangeHandler([this] { Q_EMIT changed(); });
    }
    bottom_.labelAngle = 90;
    bottom_.startPercent = 2.0;
    bottom_.endPercent = 99.0;
    for (ChartAxis* axis : {&left_, &right_}) {
        axis->startPercent = 1.0;
        axis->endPercent = 98.0;
    }
    right_.gridVisible = false;
}

LineSeries& ChartModel::addSeries(VerticalAxis axis, std::shared_ptr<LabelStore> labels) {
    series_.push_back(std::make_unique<LineSeries>(axis, std::move(labels)));
    Q_EMIT changed();
    return *series_.back();
}

void ChartModel::setView3D(bool on) {
    if (on == view3D_)
        return;
    view3D_ = on;
    Q_EMIT changed();
}
