#pragma once
// A line series: points with X = index, a Y value, a label (held in a shared LabelStore) and a
// colour. Drawn as a line in its points' colour, without markers, or as bars from zero.
#include "charting/LabelStore.h"

#include <QColor>
#include <memory>
#include <vector>

enum class VerticalAxis { Left, Right };

class LineSeries {
public:
    LineSeries(VerticalAxis axis, std::shared_ptr<LabelStore> labels);

    VerticalAxis verticalAxis() const { return axis_; }
    enum class Style { Line, Bars };
    Style style() const { return style_; }
    void setStyle(Style style) { style_ = style; }
    // Adds a point with X = count(). The label goes to the shared store unless another series
    // of the store has already added the label of this index.
    void append(double y, QStringView label, QColor colour);
    qsizetype count() const { return qsizetype(y_.size()); }
    double x(qsizetype i) const { return double(i); }
    double y(qsizetype i) const { return y_[size_t(i)]; }
    QString label(qsizetype i) const { return labels_->at(i); }
    QColor colour(qsizetype i) const; // per point; runs of one colour are stored once
    // Index just past the run of one colour that holds point i (count() at the end).
    qsizetype colourRunEnd(qsizetype i) const;
    const std::shared_ptr<LabelStore>& labels() const { return labels_; }
    void reserve(qsizetype points) { y_.reserve(size_t(points)); }
    // Removes every point; the shared labels stay (LabelStore::clear()).
    void clear();
    qsizetype memoryBytes() const; // Y values and colour runs, without the shared labels

private:
    VerticalAxis axis_;
    Style style_ = Style::Line;
    std::shared_ptr<LabelStore> labels_;
    std::vector<double> y_;
    struct ColourRun {
        qsizetype first;
        QRgb colour;
    };
    std::vector<ColourRun> colourRuns_;
};
