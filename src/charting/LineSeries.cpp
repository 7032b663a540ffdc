#include "charting/LineSeries.h"

#include <algorithm>

LineSeries::LineSeries(VerticalAxis axis, std::shared_ptr<LabelStore> labels)
    : axis_(axis), labels_(labels ? std::move(labels) : std::make_shared<LabelStore>()) {}

void LineSeries::append(double y, QStringView label, QColor colour) {
    const qsizetype index = count();
    // A store shared with a series that fell behind never happens in the program, but keep
    // label i at index i whatever the order of appends.
    while (labels_->size() < index)
        labels_->append(QStringView());
    if (labels_->size() == index)
        labels_->append(label);
    y_.push_back(y);
    const QRgb rgb = colour.rgba();
    if (colourRuns_.empty() || colourRuns_.back().colour != rgb)
        colourRuns_.push_back({index, rgb});
}

void LineSeries::clear() {
    y_.clear();
    colourRuns_.clear();
}

QColor LineSeries::colour(qsizetype i) const {
    if (colourRuns_.empty())
        return {};
    // The last run starting at or before i.
    auto it =
        std::upper_bound(colourRuns_.begin(), colourRuns_.end(), i,
                         [](qsizetype value, const ColourRun& run) { return value < run.first; });
    if (it == colourRuns_.begin())
        return QColor::fromRgba(colourRuns_.front().colour);
    return QColor::fromRgba(std::prev(it)->colour);
}

qsizetype LineSeries::colourRunEnd(qsizetype i) const {
    auto it =
        std::upper_bound(colourRuns_.begin(), colourRuns_.end(), i,
                         [](qsizetype value, const ColourRun& run) { return value < run.first; });
    return it == colourRuns_.end() ? count() : it->first;
}

qsizetype LineSeries::memoryBytes() const {
    return qsizetype(sizeof(*this) + y_.capacity() * sizeof(double) +
                     colourRuns_.capacity() * sizeof(ColourRun));
}
