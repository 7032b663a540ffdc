// Opening the Line Drops window on a record of 1,000 drops, to the first paint of its table.
// Target: under 100 ms.
#include "app/dialogs/LineDropsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

std::vector<DropEvent> thousandDrops(const QDateTime& now) {
    std::vector<DropEvent> events;
    QDateTime t = now.addDays(-60);
    for (int i = 0; i < 1000; ++i) {
        DropEvent e;
        e.kind = i % 7 == 0 ? DropEvent::Kind::Retrain : DropEvent::Kind::Drop;
        e.before = {t, 6.1 + i % 5, 5.4 + i % 3, 1100.0 + i % 40, 17000.0 + i % 900};
        e.after = {t.addSecs(30 * (1 + i % 20)), 6.3, 5.9, 1090, 16800};
        e.samplesDown = e.kind == DropEvent::Kind::Drop ? 1 + i % 20 : 0;
        e.durationSeconds = e.before.time.secsTo(e.after.time);
        e.lostMinSeconds = e.samplesDown > 0 ? 30 * (e.samplesDown - 1) : 0;
        e.lostMaxSeconds = e.samplesDown > 0 ? e.durationSeconds : 0;
        if (i % 3 == 0)
            e.images = {QStringLiteral("Ltrv-NoiseMargin-%1.jpg").arg(i),
                        QStringLiteral("Ltrv-SyncRate-%1.jpg").arg(i)};
        events.push_back(e);
        t = t.addSecs(60 * 60 * 60 / 40); // about 17 a day over the two months
    }
    return events;
}

// Notes the first paint of a widget.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void BM_OpenLineDropsWindow1000(benchmark::State& state) {
    const QDateTime now = QDateTime::currentDateTime();
    const std::vector<DropEvent> events = thousandDrops(now);
    for (auto _ : state) {
        LineDropsWindow window;
        PaintWatch watch;
        window.table()->viewport()->installEventFilter(&watch);
        window.setEvents(&events, now);
        window.show();
        QElapsedTimer waited;
        waited.start();
        while (!watch.painted && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!watch.painted)
            state.SkipWithError("the table was never painted");
        state.PauseTiming();
        window.hide();
        window.table()->viewport()->removeEventFilter(&watch);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLineDropsWindow1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
