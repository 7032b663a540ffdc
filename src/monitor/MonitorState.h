#pragma once
// The monitor's run state and the main window title that shows it. Only Running plots.
#include <QString>

enum class MonitorState { NotStarted, Running, Paused, Stopped };

// "Lintrove 5A", or "Lintrove 5A  [Running]" and so on (two blanks before the bracket).
inline QString monitorStateTitle(MonitorState state) {
    switch (state) {
    case MonitorState::NotStarted:
        break;
    case MonitorState::Running:
        return QStringLiteral("Lintrove 5A  [Running]");
    case MonitorState::Paused:
        return QStringLiteral("Lintrove 5A  [Paused]");
    case MonitorState::Stopped:
        return QStringLiteral("Lintrove 5A  [Stopped]");
    }
    return QStringLiteral("Lintrove 5A");
}
