#pragma once
// The Line Drops window: the drop record as a table (newest first), its summary, a histogram of
// the drops per day over the last 30 days and the export buttons. It only shows the record; the
// drops binder acts on its requests. It stays open beside the main window without blocking it.
#include "drops/DropEvent.h"

#include <QDateTime>
#include <QDialog>
#include <memory>
#include <vector>

class ChartView;
class DropHistogram;
class DropTableModel;
class QLabel;
class QPushButton;
class QTableView;

class LineDropsWindow : public QDialog {
    Q_OBJECT
public:
    explicit LineDropsWindow(QWidget* parent = nullptr);
    ~LineDropsWindow() override;

    // The record to show, oldest first, read until the next call, counted as of now.
    void setEvents(const std::vector<DropEvent>* events, const QDateTime& now);
    // The record changed: the table again when its events did, the summary and histogram always.
    void refresh(const QDateTime& now);
    // The last reading with sync before the drop in progress; invalid unless the last reading
    // was without sync (a router not read is no drop).
    void setDownSince(const QDateTime& since) { downSince_ = since; }
    void setStatusText(const QString& text);
    QString statusText() const;

    QTableView* table() const { return table_; }
    DropTableModel& model() { return *model_; }

Q_SIGNALS:
    void exportReportRequested();
    void exportCsvRequested();
    // A row was double-clicked (or Enter pressed on it).
    void dropActivated(const DropEvent& event);

private:
    void showSummary(const QDateTime& now);
    void fitColumns();

    const std::vector<DropEvent>* events_ = nullptr;
    QDateTime downSince_;
    std::unique_ptr<DropTableModel> model_;
    std::unique_ptr<DropHistogram> histogram_;
    QLabel* summary_ = nullptr;
    QTableView* table_ = nullptr;
    ChartView* chart_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton *btnExportReport = nullptr, *btnExportCsv = nullptr, *btnClose = nullptr;
};
