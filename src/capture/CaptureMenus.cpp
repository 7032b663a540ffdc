#include "capture/CaptureMenus.h"

CaptureMenus::Items CaptureMenus::forTab(int tab, const QString& userGraph1,
                                         const QString& userGraph2) {
    Items items;
    items.pageItemsVisible = tab == 0;
    QString graph;
    switch (tab) {
    case 1:
        graph = QStringLiteral("Noise Margin");
        break;
    case 2:
        graph = QStringLiteral("Connection Speed");
        break;
    case 3:
        graph = userGraph1;
        break;
    case 4:
        graph = userGraph2;
        break;
    default:
        // Hidden; the captions they were built with stay for whoever shows them again.
        items.captureVisible = QStringLiteral("Capture Visible Graph");
        items.saveAs = QStringLiteral("Save Visible Graph As...");
        items.copy = QStringLiteral("Copy to Clipboard");
        return items;
    }
    items.graphItemsVisible = true;
    items.captureVisible = QStringLiteral("Capture ") + graph + QStringLiteral(" Graph Image");
    items.saveAs = QStringLiteral("Save ") + graph + QStringLiteral(" Graph Image As...");
    items.copy = QStringLiteral("Copy ") + graph + QStringLiteral(" Graph Image");
    return items;
}
