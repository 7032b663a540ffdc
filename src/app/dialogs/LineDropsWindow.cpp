#include "app/dialogs/LineDropsWindow.h"

#include "app/desktop/NamedWidget.h"
#include "charting/ChartView.h"
#include "drops/DropHistogram.h"
#include "drops/DropStatistics.h"
#include "drops/DropTableModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

LineDropsWindow::LineDropsWindow(QWidget* parent)
    : QDialog(parent), model_(std::make_unique<DropTableModel>()),
      histogram_(std::make_unique<DropHistogram>()) {
    setObjectName(QStringLiteral("LineDropsWindow"));
    setWindowTitle(QStringLiteral("Line Drops"));
    setModal(false);
    resize(980, 600);

    summary_ = named(new QLabel, "DropsSummary");
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    table_ = named(new QTableView, "DropsTable");
    table_->setModel(model_.get());
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // One line of text a row: a month of drops fits more rows on the screen.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    // Widths from the first rows: the texts of one column have one shape.
    table_->horizontalHeader()->setResizeContentsPrecision(50);

    chart_ = named(new ChartView(&histogram_->chart()), "DropsHistogram");
    chart_->setFixedHeight(120);

    status_ = named(new QLabel, "DropsStatus");
    status_->setTextFormat(Qt::PlainText); // names files and what the record could not read
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnExportReport = named(new QPushButton(QStringLiteral("Export report...")), "btnExportReport");
    btnExportCsv = named(new QPushButton(QStringLiteral("Export CSV...")), "btnExportCsv");
    btnClose = named(new QPushButton(QStringLiteral("Close")), "btnClose");
    // Enter on a row opens the drop; it must not press a button.
    for (QPushButton* b : {btnExportReport, btnExportCsv, btnClose}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(btnExportReport);
    buttons->addWidget(btnExportCsv);
    buttons->addWidget(btnClose);
    auto* column = new QVBoxLayout(this);
    column->addWidget(summary_);
    column->addWidget(table_, 1);
    column->addWidget(chart_);
    column->addLayout(buttons);

    connect(btnExportReport, &QPushButton::clicked, this, &LineDropsWindow::exportReportRequested);
    connect(btnExportCsv, &QPushButton::clicked, this, &LineDropsWindow::exportCsvRequested);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (const DropEvent* e = model_->eventAt(index.row()))
            Q_EMIT dropActivated(*e);
    });
}

LineDropsWindow::~LineDropsWindow() {
    // The views go before the models they show.
    delete table_;
    delete chart_;
}

void LineDropsWindow::setEvents(const std::vector<DropEvent>* events, const QDateTime& now) {
    events_ = events;
    model_->setEvents(events);
    fitColumns();
    showSummary(now);
}

void LineDropsWindow::refresh(const QDateTime& now) {
    if (model_->refresh())
        fitColumns();
    showSummary(now);
}

void LineDropsWindow::showSummary(const QDateTime& now) {
    static const std::vector<DropEvent> none;
    const DropSummary s = DropSummary::of(events_ ? *events_ : none, now);
    QString text = s.text();
    // The record holds ended drops only; the one going on now is said here.
    if (downSince_.isValid())
        text += QStringLiteral("\nThe line is down since %1 (%2 so far).")
                    .arg(DropTableModel::timeText(downSince_),
                         DropSummary::durationText(std::max<qint64>(0, downSince_.secsTo(now))));
    summary_->setText(text);
    histogram_->show(s, now.date());
}

void LineDropsWindow::fitColumns() {
    const int before = table_->horizontalHeader()->length();
    table_->resizeColumnsToContents();
    const int grown = table_->horizontalHeader()->length() - before;
    // The window widens to show every column whole: before it first shows, and while it is open
    // by as much as a new drop's wider texts need, so that no column goes behind a scroll bar;
    // a width the user chose narrower stays as narrow.
    const int columns = table_->horizontalHeader()->length() +
                        table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth();
    const QMargins margins = layout()->contentsMargins();
    int wanted = columns + margins.left() + margins.right();
    if (isVisible())
        wanted = std::min(wanted, width() + std::max(0, grown));
    if (wanted > width())
        resize(wanted, height());
}

void LineDropsWindow::setStatusText(const QString& text) {
    status_->setText(text);
}

QString LineDropsWindow::statusText() const {
    return status_->text();
}
