#pragma once
// The on-screen chart: paints its ChartModel, pans it with the left mouse button by its panning
// mode, and reports press, move, release and scroll to the program. The press signal is emitted
// before the view decides whether a pan starts, so a panning mode set by a slot governs that press.
#include "charting/ChartModel.h"

#include <QWidget>

class QMenu;

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(ChartModel* model, QWidget* parent = nullptr);
    ChartModel* model() const { return model_; }
    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }
    QImage RenderChartBitmap() const; // at the view's size

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMoved(Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    // After each pan shift, before the repaint.
    void scrolled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ChartModel* model_;
    QMenu* contextMenu_ = nullptr;
    bool panning_ = false;
    QPointF lastPos_;
    Qt::MouseButtons pressed_; // presses whose release signal is still owed

    void panTo(QPointF pos);
    void popUpMenu(QPoint globalPos);
};
