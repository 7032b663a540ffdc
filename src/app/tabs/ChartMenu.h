#pragma once
// The graphs' right-click menu: the capture items (enabled by the capture feature), "Copy to
// Clipboard" and "Show Chart in 3D" for the graph on the shown tab.
#include <QMenu>
#include <functional>

class GraphSet;

class ChartMenu : public QMenu {
    Q_OBJECT
public:
    // shownTab: the index of the tab shown, which is the graph's.
    ChartMenu(GraphSet& graphs, std::function<int()> shownTab, QWidget* parent);
};
