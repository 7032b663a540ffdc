#include "app/tabs/GraphPage.h"

#include "app/desktop/OverrideCursor.h"
#include "charting/ChartRenderer.h"
#include "charting/ChartView.h"
#include "graphs/GraphSet.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct PageNames {
    const char* sheet;
    const char* panel;
    std::array<const char*, 4> buttons;
};

constexpr PageNames kNames[] = {
    {"TabSheet1", "Panel11", {"btnHome", "btnChartBack1", "btnChartForward", "btnForwardHome"}},
    {"TabSheet2", "Panel14", {"SpeedButton4", "SpeedButton2", "SpeedButton3", "SpeedButton5"}},
    {"TabSheet6", "Panel15", {"SpeedButton8", "SpeedButton6", "SpeedButton7", "SpeedButton9"}},
    {"TabSheet7", "Panel16", {"SpeedButton12", "SpeedButton10", "SpeedButton11", "SpeedButton13"}},
};

} // namespace

GraphPage::GraphPage(int chart, Context context, QWidget* parent)
    : QWidget(parent), chart_(chart), context_(std::move(context)) {
    const PageNames& names = kNames[chart];
    setObjectName(QLatin1String(names.sheet));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new ChartView(&context_.graphs->chart(chart));
    view_->setObjectName(QStringLiteral("Chart%1").arg(chart + 1));
    layout->addWidget(view_);

    panel_ = new QFrame(view_);
    panel_->setObjectName(QLatin1String(names.panel));
    panel_->setFixedSize(133, 36);
    panel_->setAutoFillBackground(true);
    QPalette p = panel_->palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    panel_->setPalette(p);
    panel_->setFrameShape(QFrame::StyledPanel);
    const char* captions[] = {"|<", "<", ">", ">|"};
    const int xs[] = {20, 44, 68, 92};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(panel_);
        b->setObjectName(QLatin1String(names.buttons[size_t(i)]));
        b->setText(QLatin1String(captions[i]));
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        b->setGeometry(xs[i], 7, 23, 22);
        buttons_[size_t(i)] = b;
    }
    panel_->hide();

    GraphSet& graphs = *context_.graphs;
    const auto guarded = [this](std::function<void()> f) { context_.runGuarded(f); };
    connect(buttons_[0], &QToolButton::clicked, this,
            [&graphs, guarded] { guarded([&graphs] { graphs.btnHomeClick(); }); });
    connect(buttons_[1], &QToolButton::clicked, this,
            [&graphs, guarded] { guarded([&graphs] { graphs.btnChartBack1Click(); }); });
    connect(buttons_[2], &QToolButton::clicked, this,
            [&graphs, guarded] { guarded([&graphs] { graphs.btnChartForwardClick(); }); });
    connect(buttons_[3], &QToolButton::clicked, this,
            [&graphs, guarded] { guarded([&graphs] { graphs.btnForwardHomeClick(); }); });

    view_->setContextMenu(context_.chartMenu);
    view_->installEventFilter(this); // keeps the page-button panel in place
    connect(
        view_, &ChartView::mousePressed, this,
        [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint pos) { mouseDown(b, m, pos); });
    connect(view_, &ChartView::mouseMoved, this,
            [this](Qt::KeyboardModifiers, QPoint pos) { mouseMove(pos); });
    connect(view_, &ChartView::mouseReleased, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { mouseUp(); });
    connect(view_, &ChartView::scrolled, this, [this] {
        const QRect frame = context_.windowFrame();
        context_.runGuarded([&] {
            context_.graphs->chartScroll(chart_, QCursor::pos().x(), frame.left(), frame.width());
        });
    });
}

void GraphPage::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos) {
    const QString cursor = context_.graphs->chartMouseDown(
        chart_, button, mods.testFlag(Qt::ShiftModifier), mods.testFlag(Qt::ControlModifier),
        pos.x(), pos.y(), context_.windowFrame().width());
    if (!cursor.isEmpty() && context_.cursors && context_.cursors->contains(cursor))
        QApplication::setOverrideCursor(context_.cursors->value(cursor));
}

void GraphPage::mouseUp() {
    restoreCursor();
    context_.graphs->chartMouseUp(chart_);
}

void GraphPage::mouseMove(QPoint pos) {
    Q_EMIT pageButtonsVisibilityRequested(GraphSet::PageButtonsVisible(
        pos.x(), pos.y(), view_->x(), view_->width(), view_->height()));
}

void GraphPage::setPageButtonsVisible(bool visible) {
    // The time labels may have come or changed since the panel last showed.
    if (visible && panel_->isHidden())
        positionPagePanel();
    panel_->setVisible(visible);
}

bool GraphPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Resize)
        positionPagePanel();
    return QWidget::eventFilter(watched, event);
}

// The panel sits near the chart's middle, just above its time labels, so that it never hides
// them: they start below the wall.
void GraphPage::positionPagePanel() {
    constexpr int gap = 4; // between the panel and the labels
    const ChartLayout lay = ChartRenderer::layout(*view_->model(), view_->size());
    const int labelsTop = int(lay.wall.bottom());
    panel_->move((view_->width() - panel_->width()) / 2,
                 qMax(0, labelsTop - gap - panel_->height()));
}
