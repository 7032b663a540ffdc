#include "app/binders/CaptureBinder.h"

#include "app/binders/WindowServices.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"
#include "app/tabs/BrowserContextMenu.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/FormParts.h"
#include "app/tabs/HomeHubTab.h"
#include "app/tabs/MainMenus.h"
#include "app/tabs/StatsPagePicture.h"
#include "app/tabs/ToolBar.h"
#include "capture/CaptureFolder.h"
#include "capture/CaptureMenus.h"
#include "capture/GraphCapture.h"
#include "capture/PictureSaveDialog.h"
#include "capture/WebImageWriter.h"
#include "core/Clock.h"
#include "graphs/GraphSet.h"
#include "monitor/RunControl.h"
#include "storage/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

CaptureBinder::CaptureBinder(WindowServices& services, Browser& browser, Controls controls)
    : services_(services), c_(controls) {
    MonitorSession& session = services_.session;
    GraphCapture::View view;
    view.activeTab = [this] { return c_.pages.currentIndex(); };
    view.tabCaption = [this](int tab) { return c_.pages.tabText(tab).remove('&'); };
    // Qt sizes only the shown tab page: every chart is rendered at that page's size.
    view.pageSize = [this] {
        const QWidget* page = c_.pages.currentWidget();
        return page ? page->size() : QSize();
    };
    view.userGraphName = [this](int userGraph) {
        return (userGraph == 0 ? c_.advanced.boxUser1 : c_.advanced.boxUser2)->currentText();
    };
    const auto headerTexts = [this, &session] {
        const LineSample& sample = session.sample();
        return ImageHeader::Texts{sample.DataRateUpText, sample.DataRateDownText,
                                  c_.toolBar.Label25->text()};
    };
    view.headerTexts = headerTexts;
    view.highlightGraphsGroup = [this] { FormParts::highlight(c_.configure.GroupGraphs); };
    view.setCaptureStatus = [this](const QString& text) { c_.captureStatus.setText(text); };
    capture_ = std::make_unique<GraphCapture>(services_.settings, session.graphs(), services_.clock,
                                              services_.messages, services_.programFolder,
                                              std::move(view));
    webImageWriter_ = std::make_unique<WebImageWriter>(
        services_.settings, session.graphs(), services_.clock, services_.messages,
        services_.programFolder, headerTexts, [this] { return webImageBusy_ && webImageBusy_(); });

    MonitorSession::ViewSteps& steps = session.viewSteps();
    steps.CaptureAllGraphs = [this] {
        capture_->CaptureAllGraphs(GraphCapture::Trigger::Automatic);
    };
    steps.WriteWebImage = [this] { webImageWriter_->WriteWebImage(); };

    bindButtonsAndMenus();
    bindBrowserMenu(browser);
    const auto openViewer = [this] {
        openImageViewer(ImageViewer::placement(services_.window.frameGeometry().topLeft(), 110));
    };
    connect(c_.toolBar.btnViewCap, &QToolButton::clicked, this, openViewer);
    connect(c_.menus.mnuViewImages, &QAction::triggered, this, openViewer);
}

CaptureBinder::~CaptureBinder() = default;

void CaptureBinder::bindButtonsAndMenus() {
    MainMenus& menus = c_.menus;
    ConfigureTab& tab = c_.configure;
    const auto captureAll = [this] { capture_->CaptureAllGraphs(GraphCapture::Trigger::Hand); };
    const auto captureVisible = [this] { capture_->CaptureVisibleGraph(); };
    const auto saveAs = [this] {
        capture_->SaveVisibleGraphAs([this](const QString& start) {
            return PictureSaveDialog::ask(&services_.window, start);
        });
    };
    const auto copy = [this] { capture_->CopyVisibleGraph(); };
    const auto chartItem = [this](const char* name) {
        auto* item = c_.chartMenu.findChild<QAction*>(QLatin1String(name));
        item->setEnabled(true);
        return item;
    };
    connect(c_.toolBar.btnCapture, &QToolButton::clicked, this, captureAll);
    connect(menus.mnuCaptureAll, &QAction::triggered, this, captureAll);
    connect(chartItem("mnuCapAll"), &QAction::triggered, this, captureAll);
    connect(menus.mnuCaptureVisible, &QAction::triggered, this, captureVisible);
    connect(chartItem("mnuCapNow"), &QAction::triggered, this, captureVisible);
    connect(menus.mnuSaveAs, &QAction::triggered, this, saveAs);
    connect(chartItem("mnuChartSaveAs"), &QAction::triggered, this, saveAs);
    connect(menus.mnuCopy, &QAction::triggered, this, copy);
    connect(chartItem("CopytoClipboard1"), &QAction::triggered, this, copy);

    // The capture folder.
    connect(tab.edCapture, &QLineEdit::textChanged, this, [this] { edCaptureChange(); });
    connect(tab.edCapture, &QLineEdit::editingFinished, this, [this] {
        QLineEdit* box = c_.configure.edCapture;
        box->setText(CaptureFolder::withoutTrailingSeparator(box->text()));
        edCaptureChange();
    });
    connect(tab.btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
    edCaptureChange();

    // Configure, File and Edit menus.
    connect(menus.mnuStartCapture, &QAction::triggered, this, [this] { mnuStartCaptureClick(); });
    connect(menus.mnuStopCapture, &QAction::triggered, this,
            [this] { c_.configure.cbCapture->setChecked(false); });
    connect(menus.mnuConfigCap, &QAction::triggered, this,
            [this] { services_.showConfigureGroup(c_.configure.GroupGraphs); });
    connect(menus.File1, &QMenu::aboutToShow, this, [this] { captureMenusForTab(); });
    connect(menus.Edit1, &QMenu::aboutToShow, this, [this] { captureMenusForTab(); });
    // Ctrl+C and Ctrl+A are the page's only while the "Home Hub" tab is shown.
    connect(&c_.pages, &QTabWidget::currentChanged, this, [this] { captureMenusForTab(); });
    captureMenusForTab();
}

// The browser view's own menu, the Edit menu's page items and the statistics-page picture.
void CaptureBinder::bindBrowserMenu(Browser& browser) {
    MonitorSession& session = services_.session;
    StatsPagePicture::Hooks hooks;
    hooks.running = [&session] { return session.run().state() == MonitorState::Running; };
    hooks.startFolder = [this] { return capture_->folder(); };
    hooks.askFileName = [this](const QString& start) {
        return PictureSaveDialog::ask(&services_.window, start);
    };
    statsPagePicture_ = new StatsPagePicture(browser, session.sampleTimer(), services_.messages,
                                             std::move(hooks), &services_.window);
    browserMenu_ = new BrowserContextMenu(
        browser,
        [this, &session] {
            return c_.homeHub.Label2->text() == QStringLiteral("!") + session.run().StatsPageUrl;
        },
        [this] { statsPagePicture_->mnuSaveImageClick(); }, &services_.window);
    connect(c_.menus.mnuCopyWeb1, &QAction::triggered, browserMenu_,
            &BrowserContextMenu::mnuWebCopyClick);
    connect(c_.menus.mnuSelectAllWeb1, &QAction::triggered, browserMenu_,
            &BrowserContextMenu::mnuWebSelectAllClick);
}

void CaptureBinder::edCaptureChange() {
    const bool exists =
        CaptureFolder::exists(c_.configure.edCapture->text(), services_.programFolder);
    for (QWidget* w : std::initializer_list<QWidget*>{c_.toolBar.btnCapture, c_.toolBar.btnViewCap})
        w->setEnabled(exists);
    for (QAction* a : {c_.menus.mnuCaptureVisible, c_.menus.mnuCaptureAll, c_.menus.mnuViewImages})
        a->setEnabled(exists);
}

void CaptureBinder::updateCaptureStatus() {
    c_.captureStatus.setText(capture_->captureStatus());
}

void CaptureBinder::captureAtClose() {
    capture_->CaptureAtClose(services_.session.graphs().PointCount());
}

void CaptureBinder::btnBrowseClick() {
    QLineEdit* box = c_.configure.edCapture;
    box->setText(CaptureFolder::GetFolder(services_.shell, &services_.window, box->text(),
                                          services_.programFolder));
}

void CaptureBinder::mnuStartCaptureClick() {
    if (!capture_->folderExists())
        btnBrowseClick();
    c_.configure.cbCapture->setChecked(capture_->folderExists());
}

void CaptureBinder::captureMenusForTab() {
    MainMenus& m = c_.menus;
    const CaptureMenus::Items items =
        CaptureMenus::forTab(c_.pages.currentIndex(), c_.advanced.boxUser1->currentText(),
                             c_.advanced.boxUser2->currentText());
    m.mnuCaptureVisible->setText(items.captureVisible);
    m.mnuSaveAs->setText(items.saveAs);
    m.mnuCopy->setText(items.copy);
    for (QAction* a : {m.mnuCaptureVisible, m.mnuCaptureAll, m.mnuSaveAs, m.mnuCopy})
        a->setVisible(items.graphItemsVisible);
    // A hidden item's shortcut does not fire, so the keys stay the page's alone.
    m.mnuCopyWeb1->setVisible(items.pageItemsVisible);
    m.mnuSelectAllWeb1->setVisible(items.pageItemsVisible);
}

void CaptureBinder::openImageViewer(QPoint topLeft, const QString& picture) {
    if (!imageViewer_)
        imageViewer_ = new ImageViewer(services_.settings, services_.programFolder, services_.shell,
                                       services_.messages, &services_.window);
    imageViewer_->selectOnOpen(picture);
    imageViewer_->move(topLeft);
    imageViewer_->exec();
}
