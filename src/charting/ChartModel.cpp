#include "charting/ChartModel.h"

ChartModel::ChartModel(QObject* parent) : QObject(parent) {}

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
