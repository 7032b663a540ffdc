#pragma once
// What a main window under test is built from: the test's fakes, timers fired by hand, and the
// loopback as the machine's only address, so that no test reaches another interface.
#include "app/MainWindow.h"

#include "FakeTimer.h"

#include <memory>

inline MainWindow::Dependencies windowDependencies(const QString& programFolder, Browser& browser,
                                                   const Clock& clock, DesktopShell& shell,
                                                   WindowMessages& messages) {
    const auto timers = [](int ms, bool) { return std::make_unique<FakeTimer>(ms); };
    MainWindow::Dependencies deps{programFolder, browser, clock, shell, messages, timers};
    deps.networkAddresses = [] { return QStringList{QStringLiteral("127.0.0.1")}; };
    return deps;
}

// The window after its start-up, as the program's main() leaves it before showing it.
inline std::unique_ptr<MainWindow> createdWindow(MainWindow::Dependencies deps) {
    auto w = std::make_unique<MainWindow>(std::move(deps));
    w->FormCreate();
    return w;
}
