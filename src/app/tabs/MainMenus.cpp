#include "app/tabs/MainMenus.h"

#include "app/desktop/NamedWidget.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

MainMenus::MainMenus(QMainWindow* window) {
    auto* bar = window->menuBar();
    auto action = [window](QMenu* menu, const char* name, const QString& text) {
        auto* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setParent(window);
        return a;
    };
    File1 = named(bar->addMenu(QStringLiteral("File")), "File1");
    mnuCaptureVisible = action(File1, "mnuCaptureVisible", QStringLiteral("Capture Visible Graph"));
    mnuCaptureAll = action(File1, "mnuCaptureAll", QStringLiteral("Capture All Graphs Images"));
    File1->addSeparator();
    mnuSaveAs = action(File1, "mnuSaveAs", QStringLiteral("Save Visible Graph As..."));
    File1->addSeparator();
    mnuMaintain =
        action(File1, "mnuMaintain", QStringLiteral("Manage Log and Images File Sizes..."));
    File1->addSeparator();
    mnuRestoreData =
        action(File1, "mnuRestoreData", QStringLiteral("Save Graph Data and Restore on Restart"));
    mnuRestoreData->setCheckable(true);
    mnuDataRestore =
        action(File1, "mnuDataRestore", QStringLiteral("Manage Data-Restore File Size..."));
    File1->addSeparator();
    mnuWizard = action(File1, "mnuWizard", QStringLiteral("Setup Wizard..."));
    File1->addSeparator();
    mnuExit = action(File1, "mnuExit", QStringLiteral("Exit"));

    Edit1 = named(bar->addMenu(QStringLiteral("Edit")), "Edit1");
    mnuCopy = action(Edit1, "mnuCopy", QStringLiteral("Copy to Clipboard"));
    mnuCopyWeb1 = action(Edit1, "mnuCopyWeb1", QStringLiteral("Copy"));
    mnuCopyWeb1->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    mnuSelectAllWeb1 = action(Edit1, "mnuSelectAllWeb1", QStringLiteral("Select All"));
    mnuSelectAllWeb1->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));

    View1 = named(bar->addMenu(QStringLiteral("View")), "View1");
    mnuDrops = action(View1, "mnuDrops", QStringLiteral("Line Drops..."));
    mnuViewImages = action(View1, "mnuViewImages", QStringLiteral("Graph Images..."));

    Configure1 = named(bar->addMenu(QStringLiteral("Configure")), "Configure1");
    mnuStartCapture = action(Configure1, "mnuStartCapture", QStringLiteral("Start Image Capture"));
    mnuStopCapture = action(Configure1, "mnuStopCapture", QStringLiteral("Stop Image Capture"));
    mnuStartLog = action(Configure1, "mnuStartLog", QStringLiteral("Start Logging"));
    mnuStopLog = action(Configure1, "mnuStopLog", QStringLiteral("Stop Logging"));
    Configure1->addSeparator();
    mnuConfigCap = action(Configure1, "mnuConfigCap", QStringLiteral("Configure Image Capture..."));
    mnuConfigLog = action(Configure1, "mnuConfigLog", QStringLiteral("Configure Logging..."));
    Configure1->addSeparator();
    mnuuserDefined =
        action(Configure1, "mnuuserDefined", QStringLiteral("Configure User Defined Graphs..."));

    Help1 = named(bar->addMenu(QStringLiteral("Help")), "Help1");
    mnuHelp = action(Help1, "mnuHelp", QStringLiteral("Help..."));
    mnuHelp->setShortcut(QKeySequence::HelpContents); // F1
    Help1->addSeparator();
    mnuAbout = action(Help1, "mnuAbout", QStringLiteral("About..."));
}
