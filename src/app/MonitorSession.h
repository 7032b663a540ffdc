#pragma once
// The monitor without its window: the sample and resume timers, run control, the graph set, the
// router page driver, the sample pipeline, the CSV log and the trim flag, wired together. It
// holds the pipeline steps that touch no widget and runs the data-file restore and trim; the
// window supplies the steps that show something.
#include "core/LineReading.h"
#include "core/LineSample.h"
#include "monitor/SamplePipeline.h"
#include "storage/CsvLog.h"
#include "storage/TrimBusy.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class Browser;
class DropRecord;
class Clock;
class GraphSet;
class PageDriver;
class RunControl;
class Timer;
class UserMessages;
struct Settings;

class MonitorSession : public QObject {
    Q_OBJECT
public:
    using TimerFactory = std::function<std::unique_ptr<Timer>(int intervalMs, bool singleShot)>;

    // The pipeline steps that show something or belong to other features; an empty one is
    // skipped.
    struct ViewSteps {
        std::function<void()> CaptureAllGraphs;
        std::function<void()> ShowLostSyncIndicator;
        std::function<void(const QString& state)> IconNoise;
        std::function<bool()> WebImageBusy;
        std::function<void()> WriteWebImage;
        std::function<void()> UpdateLogStatus;
        std::function<void()> UpdateCaptureStatus;
    };

    MonitorSession(Settings& settings, Browser& browser, const Clock& clock, UserMessages& messages,
                   const TimerFactory& timers, QObject* parent = nullptr);
    ~MonitorSession() override;

    // Each feature fills in its own steps; they are read when the pipeline runs.
    ViewSteps& viewSteps() { return view_; }

    // The graphs come back from the data-restore file; a damaged line shows its error.
    void RestoreDataFile();
    // The data-restore file trimmed to TrimDataFileDays of samples ("Trim Now", daily), and the
    // drop record to the same days.
    void TrimDataFileProc();
    // Runs a handler; an axis refusing its range ends it with the standard error box.
    void runGuarded(const std::function<void()>& handler);

    RunControl& run() { return *run_; }
    GraphSet& graphs() { return *graphs_; }
    PageDriver& driver() { return *driver_; }
    SamplePipeline& pipeline() { return *pipeline_; }
    CsvLog& log() { return log_; }
    TrimBusy& trimBusy() { return trimBusy_; }
    LineSample& sample() { return CurrentSample; }
    Timer& sampleTimer() { return *Timer1; }
    Timer& resumeTimer() { return *Timer5; }
    // The drops, retrains and router restarts of the plotted samples.
    DropRecord& drops() { return *drops_; }

    // The drop record of the data file's folder, loaded if nothing has loaded it yet.
    DropRecord& loadedDrops();

    // Pages the four graphs to the points between two times (a drop), as the page buttons move
    // them. False when the graphs hold no point at or before from.
    bool showGraphsAt(const QDateTime& from, const QDateTime& to);

    // The last reading handed on (none before the first), and the last one with sync: what the
    // line showed when it was last read, for the views that must not show zeros as values.
    const std::optional<LineReading>& lastReading() const { return lastReading_; }
    const std::optional<LineReading>& lastSyncedReading() const { return lastSynced_; }

Q_SIGNALS:
    // A reading went through the pipeline and the drop record (plotted: the monitor was
    // Running and plotted it). The views that show the line take it from here, in this order
    // after the session's own consumers.
    void readingHandled(const LineReading& reading, bool plotted);
    // The drop record gained or lost events (an event ended, a trim).
    void dropsChanged();

private:
    SamplePipeline::Steps pipelineSteps();
    void handleReading(const LineReading& reading);
    void feedDrops(const LineReading& reading);

    Settings& settings_;
    const Clock& clock_;
    UserMessages& messages_;
    LineSample CurrentSample;
    std::unique_ptr<Timer> Timer1, Timer5;
    std::unique_ptr<RunControl> run_;
    std::unique_ptr<GraphSet> graphs_;
    std::unique_ptr<PageDriver> driver_;
    ViewSteps view_;
    std::unique_ptr<SamplePipeline> pipeline_;
    CsvLog log_;
    TrimBusy trimBusy_;
    std::unique_ptr<DropRecord> drops_;
    // When the newest point of the graphs was sampled: the labels carry no date.
    QDateTime newestPoint_;
    std::optional<LineReading> lastReading_, lastSynced_;
};
