#include "charting/LabelStore.h"
#include "charting/LineSeries.h"

#include <QColor>
#include <gtest/gtest.h>

namespace {

const QColor blue(0, 0, 255);
const QColor maroon(128, 0, 0);

QString labelFor(int i) {
    // Two-line labels on even samples, one-line on odd ones.
    const QString time = QStringLiteral(" 12:%1:00 ").arg(i % 60, 2, 10, QLatin1Char('0'));
    return i % 2 == 0 ? QStringLiteral(" Mon %1 ").arg(i) + QLatin1Char('\r') + time : time;
}

TEST(LineSeries, EightSeriesShareOneCopyOfEachLabel) {
    auto shared = std::make_shared<LabelStore>();
    auto web = std::make_shared<LabelStore>();
    std::vector<std::unique_ptr<LineSeries>> visible;
    for (int k = 0; k < 8; ++k)
        visible.push_back(std::make_unique<LineSeries>(
            k % 2 == 0 ? VerticalAxis::Left : VerticalAxis::Right, shared));
    LineSeries webUp(VerticalAxis::Left, web);

    const int samples = 25;
    for (int i = 0; i < samples; ++i) {
        // The charts append in pairs, one chart after the other, as a sample is plotted.
        for (int k = 0; k < 8; ++k)
            visible[size_t(k)]->append(i * 10 + k, labelFor(i), k % 2 == 0 ? blue : maroon);
        webUp.append(i, QStringLiteral(" web %1 ").arg(i), blue);
    }

    EXPECT_EQ(shared->size(), samples);
    EXPECT_EQ(web->size(), samples);
    for (int k = 0; k < 8; ++k) {
        const LineSeries& s = *visible[size_t(k)];
        ASSERT_EQ(s.count(), samples);
        for (int i = 0; i < samples; ++i) {
            EXPECT_EQ(s.x(i), double(i));
            EXPECT_EQ(s.y(i), i * 10 + k);
            EXPECT_EQ(s.label(i), labelFor(i));
        }
    }
    EXPECT_EQ(webUp.label(7), QStringLiteral(" web 7 "));
    EXPECT_EQ(shared->lineCount(4), 2);
    EXPECT_EQ(shared->lineCount(5), 1);
    EXPECT_EQ(shared->at(4).split(QLatin1Char('\r')),
              QStringList({QStringLiteral(" Mon 4 "), QStringLiteral(" 12:04:00 ")}));
    EXPECT_EQ(shared->at(samples), QString()); // past the end
}

TEST(LineSeries, EmptyLabelsKeepTheirIndex) {
    auto store = std::make_shared<LabelStore>();
    LineSeries a(VerticalAxis::Left, store), b(VerticalAxis::Right, store);
    for (const char* text : {"", " x ", ""}) {
        a.append(1, QString::fromLatin1(text), blue);
        b.append(2, QString::fromLatin1(text), maroon);
    }
    ASSERT_EQ(store->size(), 3);
    EXPECT_EQ(b.label(0), QString());
    EXPECT_EQ(b.label(1), QStringLiteral(" x "));
    EXPECT_EQ(b.label(2), QString());
}

TEST(LineSeries, ColoursAreKeptPerPointAsRuns) {
    LineSeries s(VerticalAxis::Left, std::make_shared<LabelStore>());
    const std::vector<QColor> colours = {blue, blue, blue, maroon, maroon, blue, Qt::green};
    for (const QColor& c : colours)
        s.append(0, u"", c);
    for (size_t i = 0; i < colours.size(); ++i)
        EXPECT_EQ(s.colour(qsizetype(i)), colours[i]) << i;
    // Run ends: 0..2 blue, 3..4 maroon, 5 blue, 6 green.
    const std::vector<qsizetype> ends = {3, 3, 3, 5, 5, 6, 7};
    for (size_t i = 0; i < ends.size(); ++i)
        EXPECT_EQ(s.colourRunEnd(qsizetype(i)), ends[i]) << i;
}

TEST(LineSeries, OneColourCostsNothingPerPoint) {
    const qsizetype points = 10000;
    LineSeries single(VerticalAxis::Left, std::make_shared<LabelStore>());
    LineSeries alternating(VerticalAxis::Left, std::make_shared<LabelStore>());
    single.reserve(points);
    alternating.reserve(points);
    for (qsizetype i = 0; i < points; ++i) {
        single.append(1.5, u"", blue);
        alternating.append(1.5, u"", i % 2 ? blue : maroon);
    }
    const qsizetype values = points * qsizetype(sizeof(double));
    EXPECT_LE(single.memoryBytes(), values + qsizetype(sizeof(LineSeries)) + 64);
    // The measurement does see colour runs when there are many.
    EXPECT_GT(alternating.memoryBytes(), values + points * 8);
}

TEST(LabelStore, PoolsLabelsAsSingleBytes) {
    LabelStore store;
    const qsizetype labels = 1000;
    store.reserve(labels, 19);
    for (qsizetype i = 0; i < labels; ++i)
        store.append(QStringLiteral(" Tue 12 \r 13:14:15 "));
    EXPECT_EQ(store.at(labels - 1), QStringLiteral(" Tue 12 \r 13:14:15 "));
    // 19 characters plus a 4-byte offset per label.
    EXPECT_LE(store.memoryBytes(), labels * (19 + 4) + 256);
}

} // namespace
