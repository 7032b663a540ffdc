#include "app/tabs/ChartMenu.h"

#include "graphs/GraphSet.h"

#include <QAction>

ChartMenu::ChartMenu(GraphSet& graphs, std::function<int()> shownTab, QWidget* parent)
    : QMenu(parent) {
    setObjectName(QStringLiteral("popupChart"));
    const char* chartItems[] = {"Capture Now", "Save As...", "Capture All Now"};
    const char* chartItemNames[] = {"mnuCapNow", "mnuChartSaveAs", "mnuCapAll"};
    for (int i = 0; i < 3; ++i) {
        auto* a = addAction(QLatin1String(chartItems[i]));
        a->setObjectName(QLatin1String(chartItemNames[i]));
        a->setEnabled(false); // until the captures are wired
    }
    addSeparator();
    auto* copy = addAction(QStringLiteral("Copy to Clipboard"));
    copy->setObjectName(QStringLiteral("CopytoClipboard1"));
    copy->setEnabled(false);
    addSeparator();
    QAction* mnu3D = addAction(QStringLiteral("Show Chart in 3D"));
    mnu3D->setObjectName(QStringLiteral("mnu3D"));
    mnu3D->setCheckable(true);
    connect(this, &QMenu::aboutToShow, this,
            [&graphs, shownTab, mnu3D] { mnu3D->setChecked(graphs.shows3D(shownTab())); });
    connect(mnu3D, &QAction::triggered, this, [&graphs, shownTab] { graphs.toggle3D(shownTab()); });
}
