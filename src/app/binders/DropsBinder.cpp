#include "app/binders/DropsBinder.h"

#include "app/binders/WindowServices.h"
#include "app/dialogs/LineDropsWindow.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"
#include "app/tabs/MainMenus.h"
#include "app/tabs/ToolBar.h"
#include "capture/CaptureFolder.h"
#include "core/Clock.h"
#include "drops/DropExport.h"
#include "drops/DropRecord.h"
#include "drops/DropTableModel.h"
#include "storage/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTabWidget>
#include <QToolButton>

namespace {

constexpr int kFirstGraphTab = 1, kLastGraphTab = 4;

// The file to write, asked in a save dialog that starts on the suggested name; empty when the
// user cancels.
QString askSavePath(QWidget* parent, const QString& suggested, const QString& filter,
                    const QString& suffix) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({filter, QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

DropsBinder::DropsBinder(WindowServices& services, Controls controls, Hooks hooks)
    : services_(services), c_(controls), hooks_(std::move(hooks)),
      export_(std::make_unique<DropExport>(QDir::homePath())) {
    connect(c_.toolBar.btnDrops, &QToolButton::clicked, this, [this] { openWindow(); });
    connect(c_.menus.mnuDrops, &QAction::triggered, this, [this] { openWindow(); });
    connect(&services_.session, &MonitorSession::dropsChanged, this, [this] {
        if (window_ && window_->isVisible()) {
            window_->setDownSince(services_.session.drops().downSince());
            window_->refresh(services_.clock.now());
        }
    });
}

// The window reads the session's record: it goes first.
DropsBinder::~DropsBinder() {
    delete window_;
}

void DropsBinder::openWindow() {
    const QDateTime now = services_.clock.now();
    const DropRecord& record = services_.session.loadedDrops();
    if (!window_) {
        window_ = new LineDropsWindow(&services_.window);
        window_->move(services_.window.frameGeometry().topLeft() + QPoint(40, 110));
        window_->setDownSince(record.downSince());
        window_->setEvents(&record.events(), now);
        connect(window_, &LineDropsWindow::exportReportRequested, this,
                [this] { exportFile(true); });
        connect(window_, &LineDropsWindow::exportCsvRequested, this, [this] { exportFile(false); });
        connect(window_, &LineDropsWindow::dropActivated, this,
                [this](const DropEvent& e) { showDrop(e); });
    } else {
        window_->setDownSince(record.downSince());
        window_->refresh(now);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void DropsBinder::exportFile(bool report) {
    const DropExport::Kind kind = report ? DropExport::Kind::Report : DropExport::Kind::Csv;
    const QString path = askSavePath(
        window_, export_->suggestedPath(kind, services_.clock.now().date()),
        report ? QStringLiteral("HTML Files (*.html)") : QStringLiteral("CSV Files (*.csv)"),
        report ? QStringLiteral("html") : QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const Settings& settings = services_.settings;
    DropReport::Input in;
    in.router = settings.Address;
    in.lastSynced = services_.session.lastSyncedReading();
    in.user1Name = c_.advanced.boxUser1->currentText();
    in.user2Name = c_.advanced.boxUser2->currentText();
    in.events = services_.session.drops().events();
    in.now = services_.clock.now();
    in.imageFolder = CaptureFolder::resolve(settings.Capture, services_.programFolder);
    const DropExport::Outcome outcome = export_->write(kind, path, in);
    window_->setStatusText(outcome.written ? outcome.text : QString());
    if (!outcome.written)
        services_.messages.inform(outcome.text);
}

void DropsBinder::showDrop(const DropEvent& e) {
    QString status;
    if (services_.session.showGraphsAt(e.before.time, e.after.time)) {
        const int tab = c_.pages.currentIndex();
        if (tab < kFirstGraphTab || tab > kLastGraphTab)
            c_.pages.setCurrentIndex(kFirstGraphTab);
    } else {
        status = QStringLiteral("The graphs no longer go back to %1.")
                     .arg(DropTableModel::timeText(e.before.time));
    }
    if (!e.images.isEmpty()) {
        const QString folder =
            CaptureFolder::resolve(services_.settings.Capture, services_.programFolder);
        const QString first = QDir(folder).filePath(e.images.constFirst());
        if (QFileInfo::exists(first)) {
            window_->setStatusText(status);
            if (hooks_.openImageViewer)
                hooks_.openImageViewer(first);
            return;
        }
        status +=
            (status.isEmpty() ? QString() : QStringLiteral(" ")) +
            QStringLiteral("Its images are no longer in %1.").arg(QDir::toNativeSeparators(folder));
    }
    window_->setStatusText(status);
}
