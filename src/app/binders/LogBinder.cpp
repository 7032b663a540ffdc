#include "app/binders/LogBinder.h"

#include "app/binders/WindowServices.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/MainMenus.h"
#include "app/tabs/ToolBar.h"
#include "core/DesktopShell.h"
#include "storage/CsvLog.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

LogBinder::LogBinder(WindowServices& services, Controls controls)
    : services_(services), c_(controls) {
    ConfigureTab& tab = c_.configure;
    connect(&tab, &ConfigureTab::loggingChanged, c_.toolBar.Image7, &QWidget::setVisible);
    connect(&tab, &ConfigureTab::logFileChanged, this, [this] { updateLogButton(); });
    connect(c_.toolBar.btnLog, &QToolButton::clicked, this, [this] { btnLogClick(); });
    connect(c_.menus.mnuStartLog, &QAction::triggered, &tab, &ConfigureTab::mnuStartLogClick);
    connect(c_.menus.mnuStopLog, &QAction::triggered, &tab, &ConfigureTab::mnuStopLogClick);
    connect(c_.menus.mnuConfigLog, &QAction::triggered, this,
            [this] { services_.showConfigureGroup(c_.configure.GroupLog); });
}

void LogBinder::updateLogButton() {
    c_.toolBar.btnLog->setEnabled(QFileInfo(c_.configure.edLog->text()).isFile());
}

void LogBinder::updateLogStatus() {
    const QString path = c_.configure.edLog->text();
    c_.logStatus.setText(c_.configure.cbLog->isChecked() ? LogStatusText(path) : QString());
    updateLogButton();
}

void LogBinder::showLogFileSize() {
    const QString path = c_.configure.edLog->text();
    c_.logStatus.setText(QFileInfo::exists(path) ? LogStatusText(path) : QString());
}

void LogBinder::btnLogClick() {
    const QString path = c_.configure.edLog->text();
    if (!QFileInfo(path).isFile()) {
        services_.messages.inform(QStringLiteral("No log file found."));
        return;
    }
    if (!services_.shell.open(path))
        services_.messages.inform(DesktopShell::openFailedText(path));
}
