#include "app/binders/RunBinder.h"

#include "app/binders/WindowServices.h"
#include "app/desktop/OverrideCursor.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/HomeHubTab.h"
#include "app/tabs/ToolBar.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

RunBinder::RunBinder(WindowServices& services, Controls controls, std::function<void()> showHomeHub)
    : services_(services), c_(controls), showHomeHub_(std::move(showHomeHub)) {
    bindToolbar();
    bindMonitor();
}

void RunBinder::bindToolbar() {
    MonitorSession& session = services_.session;
    RunControl& run = session.run();
    ToolBar& bar = c_.toolBar;
    connect(bar.btnRun, &QToolButton::clicked, this, [this, &session] {
        session.runGuarded([&session] { session.run().btnRunClick(); });
        applyRunControlView();
    });
    // The mouse-down of any button comes before the click: a second Pause stops.
    bar.btnStop->installEventFilter(this);
    connect(bar.btnStop, &QToolButton::clicked, this, [this, &run] {
        run.btnStopClick();
        applyRunControlView(); // a click that changes nothing must not leave the button toggled
    });
    connect(&run, &RunControl::buttonsChanged, this, [this] { applyRunControlView(); });
    connect(&run, &RunControl::startTimeChanged, &c_.startTime, &QLabel::setText);
    connect(&run, &RunControl::captureIndicatorChanged, bar.Image1, &QWidget::setVisible);
    connect(&run, &RunControl::lostSyncIndicatorChanged, bar.Image2, &QWidget::setVisible);
    connect(&run, &RunControl::routerTypeEnabledChanged, c_.configure.boxType1,
            &QWidget::setEnabled);
    connect(&run, &RunControl::passwordEntryEnabledChanged, c_.configure.edPassword1,
            &QWidget::setEnabled);
    applyRunControlView();
}

void RunBinder::bindMonitor() {
    PageDriver& driver = services_.session.driver();
    connect(&driver, &PageDriver::connectingPanelHidden, c_.homeHub.Panel4, &QWidget::hide);
    connect(&driver, &PageDriver::homeHubTabRequested, this, [this] { showHomeHub_(); });
    connect(&driver, &PageDriver::toolbarTextsChanged, this, [this](const ToolbarTexts& t) {
        c_.toolBar.setTexts(t.uptime, t.noiseMarginUp, t.noiseMarginDown, t.rateUp, t.rateDown);
    });
    connect(&driver, &PageDriver::defaultCursorRequested, this, restoreCursor);
    connect(&driver, &PageDriver::runButtonEnabled, this,
            [this] { c_.toolBar.btnRun->setEnabled(true); });
    connect(&driver, &PageDriver::statusLineChanged, c_.homeHub.Label2, &QLabel::setText);
    connect(&driver, &PageDriver::statsPageRead, &c_.lastPage, &QPlainTextEdit::setPlainText);
    // The title tells the run state and, while the line is not read, why.
    RouterState& router = driver.routerState();
    connect(&router, &RouterState::windowTitleChanged, &services_.window, &QWidget::setWindowTitle);
    connect(&router, &RouterState::textChanged, &c_.routerState, &QLabel::setText);
    c_.routerState.setText(router.text());

    services_.session.viewSteps().ShowLostSyncIndicator = [this] {
        c_.toolBar.Image1->show();
        c_.toolBar.Image2->hide();
    };
}

void RunBinder::applyRunControlView() {
    RunControl& run = services_.session.run();
    QToolButton* btnRun = c_.toolBar.btnRun;
    QToolButton* btnStop = c_.toolBar.btnStop;
    btnRun->setText(run.RunCaption());
    btnStop->setText(run.StopCaption());
    btnStop->setIcon(QIcon(QStringLiteral(":/") + run.StopPicture()));
    btnRun->setCheckable(true);
    btnStop->setCheckable(true);
    btnRun->setChecked(run.Pressed() == RunControl::PressedButton::Run);
    btnStop->setChecked(run.Pressed() == RunControl::PressedButton::Stop);
}

bool RunBinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.toolBar.btnStop && event->type() == QEvent::MouseButtonPress)
        services_.session.run().btnStopMouseDown();
    return QObject::eventFilter(watched, event);
}
