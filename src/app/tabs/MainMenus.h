#pragma once
// The window's menu bar: File, Edit, View, Configure and Help with their items, each named; the
// items belong to the window, so their shortcuts work on every tab.
class QAction;
class QMainWindow;
class QMenu;

class MainMenus {
public:
    explicit MainMenus(QMainWindow* window);

    QMenu *File1 = nullptr, *Edit1 = nullptr, *View1 = nullptr, *Configure1 = nullptr,
          *Help1 = nullptr;
    QAction *mnuCaptureVisible = nullptr, *mnuCaptureAll = nullptr, *mnuSaveAs = nullptr,
            *mnuMaintain = nullptr, *mnuRestoreData = nullptr, *mnuDataRestore = nullptr,
            *mnuWizard = nullptr, *mnuExit = nullptr;
    QAction *mnuCopy = nullptr, *mnuCopyWeb1 = nullptr, *mnuSelectAllWeb1 = nullptr;
    QAction *mnuDrops = nullptr, *mnuViewImages = nullptr;
    QAction *mnuStartCapture = nullptr, *mnuStopCapture = nullptr, *mnuStartLog = nullptr,
            *mnuStopLog = nullptr, *mnuConfigCap = nullptr, *mnuConfigLog = nullptr,
            *mnuuserDefined = nullptr;
    QAction *mnuHelp = nullptr, *mnuAbout = nullptr;
};
