#include "charting/ChartRenderer.h"
#include "charting/ChartView.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

struct Range {
    double min, max;
    bool operator==(const Range&) const = default;
};
Range rangeOf(const ChartAxis& axis) {
    return {axis.minimum(), axis.maximum()};
}

// A chart view of 600 x 300 with two series of 100 points and a recording of its signals.
class ChartViewTest : public testing::Test {
protected:
    ChartModel model;
    ChartView view{&model};
    std::vector<QString> events;
    int releases = 0;

    void SetUp() override {
        auto labels = std::make_shared<LabelStore>();
        LineSeries& up = model.addSeries(VerticalAxis::Left, labels);
        LineSeries& down = model.addSeries(VerticalAxis::Right, labels);
        for (int i = 0; i < 100; ++i) {
            up.append(i % 7, QStringLiteral(" 10:00:%1 ").arg(i % 60), Qt::blue);
            down.append(50 + i % 9, QStringLiteral(" 10:00:%1 ").arg(i % 60), Qt::darkRed);
        }
        model.bottomAxis().setMaximum(50);
        model.leftAxis().setMaximum(10);
        model.rightAxis().setMaximum(100);
        view.resize(600, 300);
        QObject::connect(&view, &ChartView::mousePressed, [this](Qt::MouseButton b, auto, QPoint) {
            events.push_back(QStringLiteral("press %1").arg(int(b)));
        });
        QObject::connect(&view, &ChartView::mouseReleased, [this](Qt::MouseButton b, auto, QPoint) {
            events.push_back(QStringLiteral("release %1").arg(int(b)));
            ++releases;
        });
        QObject::connect(&view, &ChartView::scrolled, [this] { events.push_back("scrolled"); });
        QObject::connect(&view, &ChartView::mouseMoved,
                         [this](auto, QPoint) { events.push_back("moved"); });
    }

    ChartLayout lay() const { return ChartRenderer::layout(model, view.size()); }
    QPointF centre() const { return lay().wall.center(); }

    void send(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent event(type, pos, view.mapToGlobal(pos), button, buttons, mods);
        QApplication::sendEvent(&view, &event);
    }
    void press(QPointF pos, Qt::MouseButton button = Qt::LeftButton) {
        send(QEvent::MouseButtonPress, pos, button, button);
    }
    void drag(QPointF pos) { send(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton); }
    void release(QPointF pos, Qt::MouseButton button = Qt::LeftButton) {
        send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    int count(const QString& event) const {
        return int(std::count(events.begin(), events.end(), event));
    }
};

struct PanCase {
    const char* name;
    PanningMode mode;
    bool bottomMoves, verticalMoves;
};
// Readable case names in the test listing.
void PrintTo(const PanCase& c, std::ostream* os) {
    *os << c.name;
}

class PanningModes : public ChartViewTest, public testing::WithParamInterface<PanCase> {};

TEST_P(PanningModes, AxesOfTheAllowedDirectionFollowThePointer) {
    const PanCase& c = GetParam();
    model.setPanningMode(c.mode);
    const QPointF from = centre(), to = from + QPointF(-60, 40);
    const ChartLayout before = lay();
    const Range bottom0 = rangeOf(model.bottomAxis()), left0 = rangeOf(model.leftAxis()),
                right0 = rangeOf(model.rightAxis());

    press(from);
    drag(to);

    // Each axis moves by its value under the previous position minus its value under the new.
    const double dBottom = before.bottomValueAt(from.x()) - before.bottomValueAt(to.x());
    const double dLeft = before.leftValueAt(from.y()) - before.leftValueAt(to.y());
    const double dRight = before.rightValueAt(from.y()) - before.rightValueAt(to.y());
    ASSERT_GT(dBottom, 0);
    ASSERT_GT(dLeft, 0); // dragging down raises the values shown: the lines move down
    auto expectShift = [](const ChartAxis& axis, Range start, double delta, bool moves) {
        const double d = moves ? delta : 0.0;
        EXPECT_NEAR(axis.minimum(), start.min + d, 1e-9);
        EXPECT_NEAR(axis.maximum(), start.max + d, 1e-9);
    };
    expectShift(model.bottomAxis(), bottom0, dBottom, c.bottomMoves);
    expectShift(model.leftAxis(), left0, dLeft, c.verticalMoves);
    expectShift(model.rightAxis(), right0, dRight, c.verticalMoves);
    EXPECT_EQ(count("scrolled"), c.bottomMoves || c.verticalMoves ? 1 : 0);

    // The values that were under the pointer are under it again: the lines follow it.
    const ChartLayout after = lay();
    if (c.bottomMoves) {
        EXPECT_NEAR(after.bottomValueAt(to.x()), before.bottomValueAt(from.x()), 1e-6);
    }
    if (c.verticalMoves) {
        EXPECT_NEAR(after.leftValueAt(to.y()), before.leftValueAt(from.y()), 1e-6);
        EXPECT_NEAR(after.rightValueAt(to.y()), before.rightValueAt(from.y()), 1e-6);
    }

    release(to);
    const Range bottom1 = rangeOf(model.bottomAxis());
    send(QEvent::MouseMove, to + QPointF(30, 30), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(rangeOf(model.bottomAxis()), bottom1) << "the release ended the pan";
    EXPECT_EQ(releases, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PanningModes,
    testing::Values(PanCase{"None", PanningMode::None, false, false},
                    PanCase{"Horizontal", PanningMode::Horizontal, true, false},
                    PanCase{"Vertical", PanningMode::Vertical, false, true},
                    PanCase{"Both", PanningMode::Both, true, true}),
    [](const testing::TestParamInfo<PanCase>& info) { return std::string(info.param.name); });

TEST_F(ChartViewTest, DragAcrossTheWholeWallNeverInvertsAnAxis) {
    // The wall is wider than the axis span, so one move can shift a window by more than its
    // width: the end moving away from the other must be assigned first.
    model.setPanningMode(PanningMode::Both);
    const QRectF wall = lay().wall;
    const QPointF corners[2] = {wall.topLeft() + QPointF(1, 1), wall.bottomRight() - QPointF(1, 1)};
    for (int direction = 0; direction < 2; ++direction) {
        const QPointF from = corners[direction], to = corners[1 - direction];
        const ChartLayout before = lay();
        const double width = model.bottomAxis().maximum() - model.bottomAxis().minimum();
        const double dBottom = before.bottomValueAt(from.x()) - before.bottomValueAt(to.x());
        ASSERT_GT(std::abs(dBottom), width);
        const double min0 = model.bottomAxis().minimum();
        press(from);
        EXPECT_NO_THROW(drag(to));
        release(to);
        EXPECT_NEAR(model.bottomAxis().minimum(), min0 + dBottom, 1e-9);
        EXPECT_NEAR(model.bottomAxis().maximum() - model.bottomAxis().minimum(), width, 1e-9);
    }
    EXPECT_EQ(count("scrolled"), 2);
}

TEST_F(ChartViewTest, ModeSetByThePressSlotGovernsThatPress) {
    model.setPanningMode(PanningMode::None);
    QObject::connect(&view, &ChartView::mousePressed,
                     [this] { model.setPanningMode(PanningMode::Horizontal); });
    press(centre());
    drag(centre() + QPointF(-40, 0));
    EXPECT_GT(model.bottomAxis().minimum(), 0);
    EXPECT_EQ(events.front(), QStringLiteral("press 1"));
    EXPECT_EQ(count("scrolled"), 1);
}

TEST_F(ChartViewTest, PressSlotCanForbidThePan) {
    model.setPanningMode(PanningMode::Both);
    QObject::connect(&view, &ChartView::mousePressed,
                     [this] { model.setPanningMode(PanningMode::None); });
    press(centre());
    drag(centre() + QPointF(-40, 20));
    EXPECT_EQ(rangeOf(model.bottomAxis()), (Range{0, 50}));
    EXPECT_EQ(count("scrolled"), 0);
}

TEST_F(ChartViewTest, LeavingThePlotAreaEndsThePan) {
    model.setPanningMode(PanningMode::Horizontal);
    const QRectF wall = lay().wall;
    press(centre());
    drag(centre() + QPointF(-10, 0));
    const Range panned = rangeOf(model.bottomAxis());
    EXPECT_NE(panned, (Range{0, 50}));
    drag(QPointF(wall.left() - 5, centre().y())); // outside
    drag(centre());                               // back inside, button still held
    EXPECT_EQ(rangeOf(model.bottomAxis()), panned);
    EXPECT_EQ(count("scrolled"), 1);
}

TEST_F(ChartViewTest, PressOutsideThePlotAreaDoesNotPan) {
    model.setPanningMode(PanningMode::Both);
    const QPointF outside(2, 2);
    press(outside);
    drag(centre());
    EXPECT_EQ(rangeOf(model.bottomAxis()), (Range{0, 50}));
    EXPECT_EQ(count("press 1"), 1) << "the press is reported wherever it is";
}

TEST_F(ChartViewTest, MovesAreReportedWithoutAButton) {
    send(QEvent::MouseMove, QPointF(10, 10), Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseMove, QPointF(20, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(count("moved"), 2);
    EXPECT_TRUE(view.hasMouseTracking());
}

TEST_F(ChartViewTest, RightPressIsFollowedByExactlyOneRelease) {
    QMenu menu;
    menu.addAction(QStringLiteral("Capture Now"));
    view.setContextMenu(&menu);
    // The menu swallows the real release and closes; the view owes the release itself.
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, &QMenu::close, Qt::QueuedConnection);
    press(centre(), Qt::RightButton);
    EXPECT_EQ(events, (std::vector<QString>{"press 2", "release 2"}));
    release(centre(), Qt::RightButton); // a late real release is not reported again
    EXPECT_EQ(releases, 1);

    // The real release may also come through while the menu is open.
    events.clear();
    releases = 0;
    QObject::disconnect(&menu, &QMenu::aboutToShow, nullptr, nullptr);
    QObject::connect(
        &menu, &QMenu::aboutToShow, &menu,
        [&] {
            release(centre(), Qt::RightButton);
            menu.close();
        },
        Qt::QueuedConnection);
    press(centre(), Qt::RightButton);
    EXPECT_EQ(events, (std::vector<QString>{"press 2", "release 2"}));
}

TEST_F(ChartViewTest, RightPressWithoutMenuReleasesNormally) {
    press(centre(), Qt::RightButton);
    EXPECT_EQ(releases, 0);
    release(centre(), Qt::RightButton);
    EXPECT_EQ(events, (std::vector<QString>{"press 2", "release 2"}));
}

TEST_F(ChartViewTest, RendersAtItsOwnSizeAndCopiesToTheClipboard) {
    const QImage image = view.RenderChartBitmap();
    EXPECT_EQ(image.size(), QSize(600, 300));
    ChartRenderer::CopyToClipboard(model, QSize(320, 200));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(320, 200));
}

// How much of a pixel a line of the given colour covers, drawn over white or light grey.
double blueCover(QColor c) {
    return std::max(0, c.blue() - std::max(c.red(), c.green())) / 255.0;
}
double maroonCover(QColor c) {
    return std::clamp((c.red() - std::max(c.green(), c.blue())) / 128.0, 0.0, 1.0);
}

struct LineCase {
    const char* name;
    QImage (*draw)(ChartView&);
    double width; // pixels across a level line
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class SeriesLines : public testing::TestWithParam<LineCase> {};

// A level line and a slope: the level one shows the line's width, the slope's edges are smoothed.
TEST_P(SeriesLines, AreSmoothAndAsWideAsTheirPurpose) {
    const LineCase& c = GetParam();
    ChartModel model;
    auto labels = std::make_shared<LabelStore>();
    LineSeries& level = model.addSeries(VerticalAxis::Left, labels);
    LineSeries& slope = model.addSeries(VerticalAxis::Right, labels);
    for (int i = 0; i <= 40; ++i) {
        level.append(3.3, QStringLiteral(" 10:00:%1 ").arg(i, 2, 10, QLatin1Char('0')),
                     QColor(0, 0, 255));
        slope.append(i * 2.5, QString(), QColor(128, 0, 0));
    }
    model.bottomAxis().setMaximum(40);
    model.leftAxis().setMaximum(10);
    model.rightAxis().setMaximum(100);
    ChartView view(&model);
    view.resize(400, 250);
    const QImage image = c.draw(view);
    ASSERT_EQ(image.size(), QSize(400, 250));
    const ChartLayout lay = ChartRenderer::layout(model, view.size());

    // Across the level line, between two of its points (the joints overlap a little), well away
    // from where the slope crosses it.
    for (double value : {5.5, 35.5}) {
        const int x = int(lay.xOf(value));
        double cover = 0;
        for (int y = int(lay.plot.top()); y < int(lay.plot.bottom()); ++y)
            cover += blueCover(image.pixelColor(x, y));
        EXPECT_NEAR(cover, c.width, 0.25) << "column " << x;
    }
    // Along the slope, the pixels its edges only partly cover are blended.
    int partial = 0;
    for (int y = int(lay.plot.top()); y < int(lay.plot.bottom()); ++y)
        for (int x = int(lay.plot.left()); x < int(lay.plot.right()); ++x) {
            const double cover = maroonCover(image.pixelColor(x, y));
            partial += cover > 0.15 && cover < 0.85;
        }
    EXPECT_GT(partial, 50);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SeriesLines,
    testing::Values(LineCase{"OnScreen", [](ChartView& v) { return v.grab().toImage(); },
                             ChartRenderer::kScreenLineWidth},
                    LineCase{"InImages", [](ChartView& v) { return v.RenderChartBitmap(); },
                             ChartRenderer::kImageLineWidth}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

} // namespace
