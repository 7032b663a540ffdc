#pragma once
// The drop record as a table, newest first: start, end, the time lost (or when, or how long the
// router was not read), kind, noise margins and sync rates before and after (down / up) and the
// images captured. It reads the record's own events,
// so a long record costs nothing until its rows are shown.
#include "drops/DropEvent.h"

#include <QAbstractTableModel>
#include <vector>

class DropTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Start,
        End,
        Duration,
        KindColumn,
        NoiseMarginBefore,
        NoiseMarginAfter,
        SyncBefore,
        SyncAfter,
        Images,
        ColumnCount
    };

    explicit DropTableModel(QObject* parent = nullptr);

    // The events, oldest first as the record keeps them; read until the next call. Null: none.
    void setEvents(const std::vector<DropEvent>* events);
    // Shows the events again when they changed (their number or the newest); true when it did.
    bool refresh();
    // The event a row shows; null for a row that does not exist.
    const DropEvent* eventAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // "2026-12-03 14:02:10": the times as the table shows them (local, as the record holds them,
    // with the offset on a day whose clocks change).
    static QString timeText(const QDateTime& time);

private:
    // What the table shows now: the number of rows and the newest event's start.
    void take();

    const std::vector<DropEvent>* events_ = nullptr;
    int rows_ = 0;
    QDateTime newest_;
};
