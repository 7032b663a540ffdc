#include "graphs/GraphSet.h"

#include "core/FormatDateTime.h"
#include "core/SamplingControl.h"
#include "core/UserMessages.h"
#include "graphs/AxisRanging.h"
#include "storage/Settings.h"

#include <cmath>
#include <limits>

const QColor GraphSet::UpstreamColour = QColor(0, 0, 255);
const QColor GraphSet::DownstreamColour = QColor(128, 0, 0);

namespace {

std::array<std::unique_ptr<ChartModel>, GraphSet::ChartCount> makeCharts() {
    std::array<std::unique_ptr<ChartModel>, GraphSet::ChartCount> charts;
    for (auto& chart : charts)
        chart = std::make_unique<ChartModel>();
    return charts;
}

// Default vertical ranges: noise margin -2..10 dB, the others 0..20.
Settings::ChartAxes defaultAxes(int chart) {
    return chart == GraphSet::Chart1 || chart == GraphSet::Chart5
               ? Settings::ChartAxes{10, 10, -2, -2}
               : Settings::ChartAxes{20, 20, 0, 0};
}

// An axis end as a stored integer: truncated toward zero, kept inside the integer range.
int truncatedEnd(double value) {
    if (std::isnan(value))
        return 0;
    const double t = std::trunc(value);
    if (t >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (t <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(t);
}

bool flagSet(const QString& flags, int n) {
    return n >= 1 && n <= flags.size() && flags.at(n - 1) == QLatin1Char('1');
}

} // namespace

GraphSet::GraphSet(Settings& settings, UserMessages& messages, SamplingControl& sampling)
    : settings_(settings), messages_(messages), charts_(makeCharts()),
      mouse_(chartPointers(), sampling),
      pageButtons_(
          {charts_[Chart1].get(), charts_[Chart2].get(), charts_[Chart3].get(),
           charts_[Chart4].get()},
          [this] { return pointCount_; }, [this] { return settings_.PointsperPage; }) {
    for (int i = 0; i < ChartCount; ++i) {
        ChartModel& c = *charts_[size_t(i)];
        const auto& store = i == Chart5 ? webLabels_ : labels_;
        series_[size_t(2 * i)] = &c.addSeries(VerticalAxis::Left, store);
        series_[size_t(2 * i + 1)] = &c.addSeries(VerticalAxis::Right, store);
        setUpAppearance(c, i);
        c.setPanningMode(i == Chart5 ? PanningMode::None : PanningMode::Vertical);
        const Settings::ChartAxes axes = defaultAxes(i);
        AxisRanging::MoveWindow(c.leftAxis(), axes.leftMin, axes.leftMax);
        AxisRanging::MoveWindow(c.rightAxis(), axes.rightMin, axes.rightMax);
        // The first page; ApplyPageSize keeps it in step with the setting from here on.
        AxisRanging::TrySetMaximum(c.bottomAxis(), settings_.PointsperPage);
    }
    const QString title = QStringLiteral("Noise Margin (dB)");
    for (int i : {Chart1, Chart5}) {
        chart(i).leftAxis().title = QStringLiteral("Upstream ") + title;
        chart(i).rightAxis().title = QStringLiteral("Downstream ") + title;
    }
    chart(Chart2).leftAxis().title = QStringLiteral("Upstream Connection Speed (Kbps)");
    chart(Chart2).rightAxis().title = QStringLiteral("Downstream Connection Speed (Kbps)");
    SetLabelSpacing(settings_.DateStamp);
}

std::array<ChartModel*, GraphSet::ChartCount> GraphSet::chartPointers() const {
    std::array<ChartModel*, ChartCount> out{};
    for (int i = 0; i < ChartCount; ++i)
        out[size_t(i)] = charts_[size_t(i)].get();
    return out;
}

void GraphSet::setUpAppearance(ChartModel& c, int index) {
    c.gradientTop = Qt::white;
    c.gradientBottom = QColor(223, 223, 223);
    c.backWallColor = Qt::white;
    c.depthPercent = 8.0;
    c.leftMarginPercent = 1.0;
    c.rightMarginPercent = 1.0;
    c.bottomMarginPercent = 0.0;
    const QFont font(QStringLiteral("Arial"), 8);
    const QColor grid(229, 229, 229);

    ChartAxis& bottom = c.bottomAxis();
    bottom.labelFont = font;
    bottom.labelColor = Qt::black;
    bottom.labelAngle = 90;
    bottom.startPercent = 2.0;
    bottom.endPercent = index == Chart5 ? 96.0 : 99.0;
    bottom.gridVisible = true;
    bottom.gridColor = grid;
    if (index == Chart5)
        bottom.minLabelSpacingPercent = 90;

    ChartAxis& left = c.leftAxis();
    ChartAxis& right = c.rightAxis();
    for (ChartAxis* axis : {&left, &right}) {
        axis->labelFont = font;
        axis->startPercent = 1.0;
        axis->endPercent = 98.0;
    }
    left.labelColor = left.titleColor = UpstreamColour;
    left.gridVisible = true;
    left.gridColor = grid;
    right.labelColor = right.titleColor = DownstreamColour;
    right.gridVisible = false;
}

void GraphSet::Reserve(qsizetype points) {
    for (LineSeries* s : series_)
        s->reserve(points);
    // " ddd dd \r hh:mm:ss " and " hh:mm:ss ".
    labels_->reserve(points, settings_.DateStamp ? 19 : 10);
    webLabels_->reserve(points, 10);
}

qsizetype GraphSet::memoryBytes() const {
    qsizetype bytes = labels_->memoryBytes() + webLabels_->memoryBytes();
    for (const LineSeries* s : series_)
        bytes += s->memoryBytes();
    return bytes;
}

void GraphSet::AppendSample(const QString& L, const QString& W, const LineSample& S) {
    noiseUp_ = S.NoiseMarginUp;
    noiseDown_ = S.NoiseMarginDown;
    rateUp_ = S.DataRateUp;
    rateDown_ = S.DataRateDown;

    series_[2 * Chart1]->append(S.NoiseMarginUp, L, UpstreamColour);
    series_[2 * Chart1 + 1]->append(S.NoiseMarginDown, L, DownstreamColour);
    series_[2 * Chart5]->append(S.NoiseMarginUp, W, UpstreamColour);
    series_[2 * Chart5 + 1]->append(S.NoiseMarginDown, W, DownstreamColour);
    series_[2 * Chart2]->append(S.DataRateUp, L, UpstreamColour);
    series_[2 * Chart2 + 1]->append(S.DataRateDown, L, DownstreamColour);
    AdjustChart1();
    AdjustChart5();
    AdjustChart2();
    series_[2 * Chart3]->append(S.User1Up, L, UpstreamColour);
    series_[2 * Chart3 + 1]->append(S.User1Down, L, DownstreamColour);
    AdjustChart3(S.User1Up, S.User1Down);
    series_[2 * Chart4]->append(S.User2Up, L, UpstreamColour);
    series_[2 * Chart4 + 1]->append(S.User2Down, L, DownstreamColour);
    AdjustChart4(S.User2Up, S.User2Down);
    AdvancePage();
    // The new points need a repaint even when no axis moved.
    for (auto& c : charts_)
        c->notifyChanged();
}

void GraphSet::AdvancePage() {
    ++pointCount_;
    const int page = settings_.PointsperPage;
    if (pointCount_ >= page) {
        const double max = double(pointCount_) - 1;
        const double min = double(pointCount_) - double(page) - 1;
        for (auto& c : charts_) {
            try {
                // Ordered so that a window panned beyond either end of the history still comes
                // back; only a negative page size can be refused.
                AxisRanging::MoveWindow(c->bottomAxis(), min, max);
            } catch (const AxisRangeError&) {
                messages_.inform(QStringLiteral("Error incrementing chart"));
                break;
            }
        }
    }
    const PanningMode mode = pointCount_ > page - 5 ? PanningMode::Both : PanningMode::Vertical;
    for (int i = Chart1; i <= Chart4; ++i)
        chart(i).setPanningMode(mode);
}

void GraphSet::AdjustChart1() {
    AxisRanging::AdjustNoiseMargin(chart(Chart1), noiseUp_, noiseDown_);
}

void GraphSet::AdjustChart5() {
    AxisRanging::AdjustNoiseMargin(chart(Chart5), noiseUp_, noiseDown_);
}

void GraphSet::AdjustChart2() {
    AxisRanging::AdjustConnectionSpeed(chart(Chart2), rateUp_, rateDown_);
}

void GraphSet::AdjustChart3(double up, double down) {
    AxisRanging::AdjustUserGraph(chart(Chart3), up, down, 20, 20, 30);
}

void GraphSet::AdjustChart4(double up, double down) {
    AxisRanging::AdjustUserGraph(chart(Chart4), up, down, 40, 30, 20);
}

QString GraphSet::PointLabel(const QDateTime& t, bool dateStamp) {
    return dateStamp ? FormatDateTime(QStringLiteral(" ddd dd \r hh:mm:ss "), t) : WebLabel(t);
}

QString GraphSet::WebLabel(const QDateTime& t) {
    return FormatDateTime(QStringLiteral(" hh:mm:ss "), t);
}

void GraphSet::SetLabelSpacing(bool dateStamp) {
    for (int i = Chart1; i <= Chart4; ++i)
        chart(i).bottomAxis().minLabelSpacingPercent = dateStamp ? 30 : 100;
}

std::optional<QString> GraphSet::ApplyPageSize() {
    for (auto& c : charts_) {
        ChartAxis& bottom = c->bottomAxis();
        // A refused width (a negative page size while the field is being typed) ends the loop;
        // the time text then keeps its previous value.
        if (!AxisRanging::TrySetMaximum(bottom, bottom.minimum() + settings_.PointsperPage))
            return std::nullopt;
    }
    return TimePerPageText();
}

QString GraphSet::TimePerPageText() const {
    return TimePerPageText(settings_.PointsperPage, settings_.Sample);
}

QString GraphSet::TimePerPageText(int pointsPerPage, int sampleSeconds) {
    // points * seconds / 60 is exact in a double, so a half lands exactly on .5 and the default
    // rounding mode takes it to the even neighbour.
    const double exact = double(qint64(pointsPerPage) * sampleSeconds) / 60.0;
    const qint64 minutes = qint64(std::nearbyint(exact));
    return QStringLiteral("(%1 hr : %2 min per page)").arg(minutes / 60).arg(minutes % 60);
}

void GraphSet::Apply3D(const QString& flags) {
    chart(Chart1).setView3D(flagSet(flags, 1));
    chart(Chart2).setView3D(flagSet(flags, 2));
    chart(Chart3).setView3D(flagSet(flags, 3));
    chart(Chart4).setView3D(flagSet(flags, 4));
    chart(Chart5).setView3D(flagSet(flags, 1));
}

bool GraphSet::shows3D(int activeTabIndex) const {
    return flagSet(settings_.ThreeD, activeTabIndex);
}

bool GraphSet::toggle3D(int activeTabIndex) {
    const bool checked = !shows3D(activeTabIndex);
    if (activeTabIndex >= 1) {
        QString& flags = settings_.ThreeD;
        if (flags.size() < activeTabIndex)
            flags = flags.leftJustified(activeTabIndex, QLatin1Char('0'));
        flags[activeTabIndex - 1] = checked ? QLatin1Char('1') : QLatin1Char('0');
    }
    Apply3D(settings_.ThreeD);
    return checked;
}

void GraphSet::ApplySavedAxes(const Settings& settings) {
    static constexpr std::array<int, ChartCount> order{Chart1, Chart5, Chart2, Chart3, Chart4};
    auto target = [&](int i) {
        return settings.SaveAxes ? settings.Axes[size_t(i)] : defaultAxes(i);
    };
    // A maximum below the axis's current minimum (the defaults still hold) would be refused: that
    // axis takes its minimum first. Everything else follows the maxima-then-minima order, and an
    // end that still cannot be set (an inverted stored pair) is left out.
    auto setMaximum = [](ChartAxis& axis, int max, int min) {
        if (max < axis.minimum() && min <= max)
            AxisRanging::TrySetMinimum(axis, min);
        AxisRanging::TrySetMaximum(axis, max);
    };
    for (int i : order) {
        const Settings::ChartAxes a = target(i);
        setMaximum(chart(i).leftAxis(), a.leftMax, a.leftMin);
        setMaximum(chart(i).rightAxis(), a.rightMax, a.rightMin);
    }
    for (int i : order) {
        const Settings::ChartAxes a = target(i);
        AxisRanging::TrySetMinimum(chart(i).leftAxis(), a.leftMin);
        AxisRanging::TrySetMinimum(chart(i).rightAxis(), a.rightMin);
    }
}

void GraphSet::StoreAxes(Settings& settings) const {
    if (!settings.SaveAxes)
        return;
    for (int i = 0; i < ChartCount; ++i) {
        const ChartModel& c = chart(i);
        Settings::ChartAxes& a = settings.Axes[size_t(i)];
        a.leftMax = truncatedEnd(c.leftAxis().maximum());
        a.rightMax = truncatedEnd(c.rightAxis().maximum());
        a.leftMin = truncatedEnd(c.leftAxis().minimum());
        a.rightMin = truncatedEnd(c.rightAxis().minimum());
    }
}

void GraphSet::RefreshUserGraphNames(const QString& user1Text, const QString& user2Text) {
    chart(Chart3).leftAxis().title = QStringLiteral("Upstream ") + user1Text;
    chart(Chart3).rightAxis().title = QStringLiteral("Downstream ") + user1Text;
    chart(Chart4).leftAxis().title = QStringLiteral("Upstream ") + user2Text;
    chart(Chart4).rightAxis().title = QStringLiteral("Downstream ") + user2Text;
    chart(Chart3).notifyChanged();
    chart(Chart4).notifyChanged();
}
