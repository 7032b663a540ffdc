#pragma once
// The File and Edit menus' capture items as the active tab makes them: on a graph tab they name
// that graph, elsewhere they are hidden; the page items (copy, select all) belong to the
// "Home Hub" tab only.
#include <QString>

class CaptureMenus {
public:
    struct Items {
        // mnuCaptureVisible, mnuCaptureAll, mnuSaveAs and mnuCopy.
        bool graphItemsVisible = false;
        QString captureVisible; // mnuCaptureVisible
        QString saveAs;         // mnuSaveAs
        QString copy;           // mnuCopy
        // mnuCopyWeb1 and mnuSelectAllWeb1.
        bool pageItemsVisible = false;
    };

    // The items for a tab (0 "Home Hub", 1..4 the graphs); user graphs are named by their lists'
    // texts, which no platform theme decorates.
    static Items forTab(int tab, const QString& userGraph1, const QString& userGraph2);
};
