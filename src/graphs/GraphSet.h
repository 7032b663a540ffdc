#pragma once
// The five line charts of the main window and their ten series: appending a sample, the page
// window that follows the newest sample, automatic vertical ranging, the mouse cycle, the page
// buttons, the 3-D flags, the saved axes and the user graphs' names. Window-free; the main window
// shows the charts in ChartViews and forwards its handlers here.
#include "charting/ChartModel.h"
#include "charting/LabelStore.h"
#include "core/LineSample.h"
#include "graphs/ChartMouseCycle.h"
#include "graphs/PageButtons.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

struct Settings;
class SamplingControl;
class UserMessages;

class GraphSet {
public:
    // Chart indexes: Chart1 noise margin, Chart2 connection speed, Chart3 and Chart4 the user
    // graphs, Chart5 the hidden web-image chart.
    enum ChartId { Chart1 = 0, Chart2, Chart3, Chart4, Chart5 };
    static constexpr int ChartCount = 5;
    static const QColor UpstreamColour;   // blue
    static const QColor DownstreamColour; // maroon

    // settings: PointsperPage, Sample and DateStamp are read when used; toggle3D writes ThreeD.
    GraphSet(Settings& settings, UserMessages& messages, SamplingControl& sampling);
    GraphSet(const GraphSet&) = delete;
    GraphSet& operator=(const GraphSet&) = delete;

    ChartModel& chart(int index) { return *charts_[size_t(index)]; }
    const ChartModel& chart(int index) const { return *charts_[size_t(index)]; }
    // Series 0 of every chart is its upstream series (left axis), series 1 its downstream one.
    LineSeries& upstream(int index) { return chart(index).series(0); }
    LineSeries& downstream(int index) { return chart(index).series(1); }
    // The point labels of Chart1..Chart4, and those of Chart5.
    const LabelStore& labels() const { return *labels_; }
    const LabelStore& webLabels() const { return *webLabels_; }

    // Room for this many points in every series and label store (a restore knows its length).
    void Reserve(qsizetype points);
    // What the history takes: the ten series and both label stores.
    qsizetype memoryBytes() const;

    // Adds one point to each of the ten series (L on Chart1..Chart4, W on Chart5), widens the
    // vertical axes and advances the page window.
    void AppendSample(const QString& L, const QString& W, const LineSample& S);
    // Counts the new sample and, once a page is full, puts the newest point on the right edge of
    // every chart. A refused window shows "Error incrementing chart" and leaves the remaining
    // charts for this sample.
    void AdvancePage();
    int PointCount() const { return pointCount_; }

    // Automatic ranging; AdjustChart1, 2 and 5 read the sample given to AppendSample.
    void AdjustChart1();
    void AdjustChart2();
    void AdjustChart5();
    void AdjustChart3(double up, double down);
    void AdjustChart4(double up, double down);

    // " hh:mm:ss ", or with the date stamp " ddd dd " + CR + " hh:mm:ss ".
    static QString PointLabel(const QDateTime& t, bool dateStamp);
    // Chart5's label: always " hh:mm:ss ".
    static QString WebLabel(const QDateTime& t);
    // Minimum bottom-label spacing of Chart1..Chart4: 30 % with the date stamp, else 100 %.
    void SetLabelSpacing(bool dateStamp);

    // Every bottom window (Chart1..Chart5) becomes PointsperPage wide from its minimum. Returns the
    // time-per-page text, or nothing when the engine refused a width (the text stays as it was).
    std::optional<QString> ApplyPageSize();
    QString TimePerPageText() const;
    // "(h hr : m min per page)", the minutes rounded half to even.
    static QString TimePerPageText(int pointsPerPage, int sampleSeconds);

    // Page buttons (see PageButtons); ">" and ">|" run the start handler first when they resume.
    void SetStartHandler(std::function<void()> start) { pageButtons_.SetStartHandler(start); }
    void btnHomeClick() { pageButtons_.btnHomeClick(); }
    void btnChartBack1Click() { pageButtons_.btnChartBack1Click(); }
    void btnChartForwardClick() { pageButtons_.btnChartForwardClick(); }
    void btnForwardHomeClick() { pageButtons_.btnForwardHomeClick(); }
    void showPoints(qsizetype first, qsizetype last) { pageButtons_.showPoints(first, last); }
    static bool PageButtonsVisible(int x, int y, int chartLeft, int chartWidth, int chartHeight) {
        return PageButtons::PageButtonsVisible(x, y, chartLeft, chartWidth, chartHeight);
    }

    // Mouse cycle on Chart1..Chart4 (chartIndex 0..3); see ChartMouseCycle.
    QString chartMouseDown(int chartIndex, Qt::MouseButton button, bool shift, bool ctrl, int x,
                           int y, int mainWindowOuterWidth) {
        return mouse_.MouseDown(chartIndex, button, shift, ctrl, x, y, mainWindowOuterWidth);
    }
    void chartScroll(int chartIndex, int pointerScreenX, int mainWindowLeft,
                     int mainWindowOuterWidth) {
        mouse_.Scroll(chartIndex, pointerScreenX, mainWindowLeft, mainWindowOuterWidth);
    }
    void chartMouseUp(int chartIndex) { mouse_.MouseUp(chartIndex); }
    ChartMouseCycle& mouseCycle() { return mouse_; }

    // 3-D view: flag character n (1-based) is for the tab with index n; Chart1 and Chart5 follow
    // character 1, Chart2..Chart4 characters 2..4; only '1' means 3-D, a missing one is '0'.
    void Apply3D(const QString& flags);
    // The check mark of "Show Chart in 3D" when the chart menu opens over tab activeTabIndex.
    bool shows3D(int activeTabIndex) const;
    // Toggles the flag of that tab in Settings::ThreeD and applies all flags; returns the new
    // check mark.
    bool toggle3D(int activeTabIndex);

    // The vertical ranges at start: the stored ones when SaveAxes is on, else the defaults
    // (Chart1 and Chart5 -2..10, the others 0..20). Maxima go first (C1, C5, C2, C3, C4), then
    // minima; a stored maximum below the axis's current minimum takes its minimum first. A stored
    // pair that is itself inverted gets whichever end fits; start-up never stops here.
    void ApplySavedAxes(const Settings& settings);
    // When SaveAxes is on: every axis end into Settings::Axes, truncated toward zero.
    void StoreAxes(Settings& settings) const;

    // Chart3/Chart4 axis titles: "Upstream " / "Downstream " + the chosen quantity's name.
    void RefreshUserGraphNames(const QString& user1Text, const QString& user2Text);

private:
    Settings& settings_;
    UserMessages& messages_;
    std::array<std::unique_ptr<ChartModel>, ChartCount> charts_;
    std::shared_ptr<LabelStore> labels_ = std::make_shared<LabelStore>();
    std::shared_ptr<LabelStore> webLabels_ = std::make_shared<LabelStore>();
    std::array<LineSeries*, 2 * ChartCount> series_{}; // up, down per chart
    int pointCount_ = 0;
    // The values of the sample being appended, for AdjustChart1, 2 and 5.
    double noiseUp_ = 0, noiseDown_ = 0, rateUp_ = 0, rateDown_ = 0;
    ChartMouseCycle mouse_;
    PageButtons pageButtons_;

    std::array<ChartModel*, ChartCount> chartPointers() const;
    void setUpAppearance(ChartModel& chart, int index);
};
