// The drop record as the Line Drops window's table: newest first, the texts of each column, and
// a refresh only when the record changed.
#include "drops/DropTableModel.h"

#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

QStringList row(const DropTableModel& m, int r) {
    QStringList cells;
    for (int c = 0; c < m.columnCount(); ++c)
        cells << m.index(r, c).data().toString();
    return cells;
}

TEST(DropTableModel, HeadersInTheirOrder) {
    DropTableModel m;
    QStringList headers;
    for (int c = 0; c < m.columnCount(); ++c)
        headers << m.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers,
              QStringList({"Start", "End", "Duration", "Kind", "NM before (dB)", "NM after (dB)",
                           "Sync before (Kbps)", "Sync after (Kbps)", "Images"}));
}

TEST(DropTableModel, EachKindOfEventAsARow) {
    DropEvent drop = lostBetween(dropBetween(at(3, 14, 2, 10), at(3, 14, 14, 15)), 665, 725);
    drop.images = {"Ltrv-NoiseMargin-1.jpg", "Ltrv-SyncRate-1.jpg"};
    DropEvent retrain =
        dropBetween(at(5, 9, 0), at(5, 9, 0, 30), DropEvent::Kind::Retrain, /*samplesDown=*/0);
    retrain.after.rateDown = 15999.6; // rates read as Kbps may carry a fraction
    const DropEvent restart =
        dropBetween(at(6, 23, 59, 45), at(7, 0, 0, 15), DropEvent::Kind::RouterRestart, 0);
    const DropEvent silent = notRead(at(8, 10, 0), at(8, 10, 0, 45));
    const std::vector<DropEvent> events = {drop, retrain, restart, silent};
    DropTableModel m;
    m.setEvents(&events);

    ASSERT_EQ(m.rowCount(), 4);
    const QStringList expected[] = {
        {"2026-12-08 10:00:00", "2026-12-08 10:00:45", "not read for about 45 s",
         "Router not read (router not responding)", "6.1 / 6.3", "5.9 / 6.2", "17000 / 1100",
         "16000 / 1000", "0"},
        {"2026-12-06 23:59:45", "2026-12-07 00:00:15",
         "between 2026-12-06 23:59:45 and 2026-12-07 00:00:15", "Router restart", "6.1 / 6.3",
         "5.9 / 6.2", "17000 / 1100", "16000 / 1000", "0"},
        {"2026-12-05 09:00:00", "2026-12-05 09:00:30", "between 09:00:00 and 09:00:30", "Retrain",
         "6.1 / 6.3", "5.9 / 6.2", "17000 / 1100", "16000 / 1000", "0"},
        {"2026-12-03 14:02:10", "2026-12-03 14:14:15", "between 11 min 5 s and 12 min 5 s", "Drop",
         "6.1 / 6.3", "5.9 / 6.2", "17000 / 1100", "16000 / 1000", "2"},
    };
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(row(m, r), expected[r])
            << "row " << r << ": " << row(m, r).join('|').toStdString();
    EXPECT_EQ(m.eventAt(3)->before.time, at(3, 14, 2, 10));
    EXPECT_EQ(m.index(3, DropTableModel::Images).data(Qt::ToolTipRole).toString(),
              "Ltrv-NoiseMargin-1.jpg\nLtrv-SyncRate-1.jpg");
    // Numbers stand to the right, times, lengths and kinds to the left.
    const auto alignment = [&m](int column) {
        return Qt::Alignment(m.index(0, column).data(Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(DropTableModel::Start), Qt::AlignLeft);
    EXPECT_EQ(alignment(DropTableModel::KindColumn), Qt::AlignLeft);
    EXPECT_EQ(alignment(DropTableModel::Duration), Qt::AlignLeft);
    EXPECT_EQ(alignment(DropTableModel::SyncAfter), Qt::AlignRight);
}

// An event filled from the data file's history or recorded by an earlier version says why its
// length may be more than was lost, where its length and kind are shown.
TEST(DropTableModel, EventsNotSeenLiveSayWhyTheyMaySayMore) {
    struct Case {
        DropEvent::Source source;
        QString note;
    };
    const Case cases[] = {
        {DropEvent::Source::Live, ""},
        {DropEvent::Source::History, "Filled from the data file's history: its zero points may "
                                     "be times the router was not read."},
        {DropEvent::Source::EarlierVersion, "Recorded by an earlier version, which counted every "
                                            "zero point and gap as lost."},
    };
    for (const Case& c : cases) {
        std::vector<DropEvent> events = {dropBetween(at(3, 14, 0), at(3, 14, 5))};
        events[0].source = c.source;
        DropTableModel m;
        m.setEvents(&events);
        for (int column : {int(DropTableModel::Duration), int(DropTableModel::KindColumn)})
            EXPECT_EQ(m.index(0, column).data(Qt::ToolTipRole).toString(), c.note)
                << DropEvent::sourceName(c.source) << " column " << column;
        EXPECT_FALSE(m.index(0, DropTableModel::Start).data(Qt::ToolTipRole).isValid());
    }
}

TEST(DropTableModel, NoRecordAndAnEmptyOne) {
    DropTableModel m;
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.eventAt(0), nullptr);
    EXPECT_FALSE(m.index(0, 0).data().isValid());
    const std::vector<DropEvent> none;
    m.setEvents(&none);
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_FALSE(m.refresh());
}

// A new event or a trim resets the table; an unchanged record does not (a reset would lose the
// user's selection at every sample).
TEST(DropTableModel, RefreshesOnlyWhenTheRecordChanged) {
    std::vector<DropEvent> events = {dropBetween(at(1, 10, 0), at(1, 10, 5))};
    DropTableModel m;
    m.setEvents(&events);
    int resets = 0;
    QObject::connect(&m, &QAbstractItemModel::modelReset, [&resets] { ++resets; });

    EXPECT_FALSE(m.refresh());
    events.push_back(dropBetween(at(2, 10, 0), at(2, 10, 5)));
    EXPECT_TRUE(m.refresh());
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.index(0, 0).data().toString(), "2026-12-02 10:00:00");

    // A trim of the oldest while a new one came: as many events, another newest.
    events = {dropBetween(at(2, 10, 0), at(2, 10, 5)), dropBetween(at(3, 10, 0), at(3, 10, 5))};
    EXPECT_TRUE(m.refresh());
    EXPECT_EQ(m.index(0, 0).data().toString(), "2026-12-03 10:00:00");
    // Until the next refresh, a row the record no longer has shows nothing, not another event.
    events.pop_back();
    EXPECT_EQ(m.eventAt(1), nullptr);
    EXPECT_FALSE(m.index(1, 0).data().isValid());
    EXPECT_EQ(resets, 2);
}

} // namespace
