#pragma once
// A line chart without a window: bottom, left and right axes, line series, panning mode, 2-D/3-D
// switch and appearance. ChartView shows it; ChartRenderer paints it anywhere.
#include "charting/ChartAxis.h"
#include "charting/LineSeries.h"

#include <QColor>
#include <QObject>
#include <memory>
#include <vector>

enum class PanningMode { None, Horizontal, Vertical, Both };

class ChartModel : public QObject {
    Q_OBJECT
public:
    explicit ChartModel(QObject* parent = nullptr);

    ChartAxis& bottomAxis() { return bottom_; }
    ChartAxis& leftAxis() { return left_; }
    ChartAxis& rightAxis() { return right_; }
    const ChartAxis& bottomAxis() const { return bottom_; }
    const ChartAxis& leftAxis() const { return left_; }
    const ChartAxis& rightAxis() const { return right_; }
    ChartAxis& verticalAxis(VerticalAxis which) {
        return which == VerticalAxis::Left ? left_ : right_;
    }

    LineSeries& addSeries(VerticalAxis axis, std::shared_ptr<LabelStore> labels);
    qsizetype seriesCount() const { return qsizetype(series_.size()); }
    LineSeries& series(qsizetype i) { return *series_[size_t(i)]; }
    const LineSeries& series(qsizetype i) const { return *series_[size_t(i)]; }

    PanningMode panningMode() const { return panning_; }
    void setPanningMode(PanningMode mode) { panning_ = mode; }

    bool view3D() const { return view3D_; }
    void setView3D(bool on);
    double depthPercent = 8.0; // depth of the 3-D view, percent of the chart

    // Appearance (defaults are the graphs' own).
    QColor gradientTop = Qt::white;
    QColor gradientBottom = QColor(223, 223, 223);
    QColor backWallColor = Qt::white;
    double leftMarginPercent = 1.0;
    double rightMarginPercent = 1.0;
    double bottomMarginPercent = 0.0;
    double topMarginPercent = 0.0;

    // Asks views to repaint (after appends or axis changes made from outside).
    void notifyChanged() { Q_EMIT changed(); }

Q_SIGNALS:
    void changed();

private:
    ChartAxis bottom_, left_, right_;
    std::vector<std::unique_ptr<LineSeries>> series_;
    PanningMode panning_ = PanningMode::None;
    bool view3D_ = false;
};
