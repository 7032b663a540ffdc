#pragma once
// Gives a widget built in code its object name as it is created: handlers, tests and the test
// hook find every control by that name.
#include <QLatin1String>

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
