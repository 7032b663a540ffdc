#pragma once
// The application's message filter: every mouse-wheel event is taken as handled, so the wheel
// does nothing anywhere in the program (graphs, the router page, lists).
#include <QEvent>
#include <QObject>

class WheelFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel)
            return true;
        return QObject::eventFilter(watched, event);
    }
};
