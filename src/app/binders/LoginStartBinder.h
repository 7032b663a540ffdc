#pragma once
// "Start Lintrove when I log in" on the Advanced tab: the box writes or removes the desktop's
// autostart entry and shows whether it is there, read again whenever the tab is shown, since the
// user may delete the file by hand.
#include "housekeeping/LoginStart.h"

#include <QObject>

class AdvancedTab;
class QTabWidget;
struct WindowServices;

class LoginStartBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        AdvancedTab& advanced;
        QTabWidget& pages; // the tab being shown reads the entry again
    };

    LoginStartBinder(WindowServices& services, Controls controls);

    // The box shows whether the entry exists.
    void refresh();

private:
    void cbLoginStartClick(bool on);

    WindowServices& services_;
    Controls c_;
    LoginStart entry_;
};
