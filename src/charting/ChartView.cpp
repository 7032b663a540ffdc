#include "charting/ChartView.h"

#include "charting/ChartRenderer.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {

// Moves an axis window by delta, assigning first the end that moves away from the other, so
// the axis never refuses either assignment.
void shiftAxis(ChartAxis& axis, double delta) {
    const double newMin = axis.minimum() + delta;
    const double newMax = axis.maximum() + delta;
    if (delta > 0) {
        axis.setMaximum(newMax);
        axis.setMinimum(newMin);
    } else {
        axis.setMinimum(newMin);
        axis.setMaximum(newMax);
    }
}

} // namespace

ChartView::ChartView(ChartModel* model, QWidget* parent) : QWidget(parent), model_(model) {
    // Moves without a button matter to the program too.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(model_, &ChartModel::changed, this, qOverload<>(&QWidget::update));
}

QImage ChartView::RenderChartBitmap() const {
    return ChartRenderer::RenderChartBitmap(*model_, size());
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ChartRenderer::paint(painter, *model_, size(), ChartRenderer::kScreenLineWidth);
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const Qt::MouseButton button = event->button();
    const QPoint pos = event->position().toPoint();
    pressed_ |= button;
    QPointer<ChartView> alive(this);
    // The program's press slot may change the panning mode for this very press, so the mode is
    // read only after the signal.
    Q_EMIT mousePressed(button, event->modifiers(), pos);
    if (!alive)
        return;
    if (button == Qt::LeftButton) {
        const ChartLayout lay = ChartRenderer::layout(*model_, size());
        panning_ =
            model_->panningMode() != PanningMode::None && lay.wall.contains(event->position());
        lastPos_ = event->position();
    } else if (button == Qt::RightButton && contextMenu_) {
        popUpMenu(event->globalPosition().toPoint());
        if (!alive)
            return;
        // The menu usually swallows the release; the program still gets exactly one.
        if (pressed_ & Qt::RightButton) {
            pressed_ &= ~Qt::RightButton;
            Q_EMIT mouseReleased(Qt::RightButton, QGuiApplication::keyboardModifiers(), pos);
        }
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (panning_) {
        if (event->buttons() & Qt::LeftButton)
            panTo(event->position());
        else
            panning_ = false; // the release went elsewhere
    }
    Q_EMIT mouseMoved(event->modifiers(), event->position().toPoint());
}

void ChartView::panTo(QPointF pos) {
    const ChartLayout lay = ChartRenderer::layout(*model_, size());
    if (!lay.wall.contains(pos)) {
        panning_ = false;
        return;
    }
    const PanningMode mode = model_->panningMode();
    const bool horizontal = mode == PanningMode::Horizontal || mode == PanningMode::Both;
    const bool vertical = mode == PanningMode::Vertical || mode == PanningMode::Both;
    // Each axis moves by its value under the previous position minus its value under the new
    // one, so the lines follow the pointer.
    const double bottomDelta =
        horizontal ? lay.bottomValueAt(lastPos_.x()) - lay.bottomValueAt(pos.x()) : 0.0;
    const double leftDelta =
        vertical ? lay.leftValueAt(lastPos_.y()) - lay.leftValueAt(pos.y()) : 0.0;
    const double rightDelta =
        vertical ? lay.rightValueAt(lastPos_.y()) - lay.rightValueAt(pos.y()) : 0.0;
    lastPos_ = pos;
    if (bottomDelta == 0 && leftDelta == 0 && rightDelta == 0)
        return;
    if (bottomDelta != 0)
        shiftAxis(model_->bottomAxis(), bottomDelta);
    if (leftDelta != 0)
        shiftAxis(model_->leftAxis(), leftDelta);
    if (rightDelta != 0)
        shiftAxis(model_->rightAxis(), rightDelta);
    QPointer<ChartView> alive(this);
    Q_EMIT scrolled();
    if (alive)
        update();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const Qt::MouseButton button = event->button();
    if (button == Qt::LeftButton)
        panning_ = false;
    if (pressed_ & button) {
        pressed_ &= ~button;
        Q_EMIT mouseReleased(button, event->modifiers(), event->position().toPoint());
    }
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    // A right press has already shown the menu; only the keyboard's menu key is left.
    if (event->reason() != QContextMenuEvent::Mouse && contextMenu_)
        popUpMenu(event->globalPos());
}

void ChartView::popUpMenu(QPoint globalPos) {
    panning_ = false;
    contextMenu_->exec(globalPos);
}
