#pragma once
// What the main window lends the feature binders: the window itself as the parent and the place
// of their dialogs, the platform pieces main() built, and the few window acts a feature asks for
// (a tab to the front, the controls' settings collected before a save).
#include "app/MonitorSession.h"

#include <QString>
#include <functional>

class Clock;
class DesktopShell;
class QGroupBox;
class QWidget;
class WindowMessages;
struct Settings;

struct WindowServices {
    QWidget& window;
    Settings& settings;
    MonitorSession& session;
    const Clock& clock;
    DesktopShell& shell;
    WindowMessages& messages;
    QString programFolder;
    MonitorSession::TimerFactory timers;
    // A "Configure ..." menu item: the Configure tab to the front with this group highlighted.
    std::function<void(QGroupBox* group)> showConfigureGroup;
    std::function<void()> collectSettings; // the controls' settings, before a save
};
