#include "app/MonitorSession.h"

#include "capture/CaptureFolder.h"
#include "charting/AxisRangeError.h"
#include "core/Clock.h"
#include "core/ProgramPaths.h"
#include "core/Timer.h"
#include "core/UserMessages.h"
#include "drops/DropHistory.h"
#include "drops/DropRecord.h"
#include "drops/LabelDates.h"
#include "graphs/GraphSet.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "storage/DataRestoreFile.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <optional>

namespace {

// Line ends in a file (a read error just gives the count so far).
qsizetype countLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qsizetype lines = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            break;
        lines += chunk.count('\n');
    }
    return lines + 1;
}

// The JPEG files in the capture folder (none when it does not exist).
QSet<QString> captureImages(const Settings& settings) {
    const QString folder = CaptureFolder::resolve(settings.Capture, ProgramPaths::programFolder());
    if (folder.isEmpty())
        return {};
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::NoSort);
    return QSet<QString>(names.begin(), names.end());
}

} // namespace

MonitorSession::MonitorSession(Settings& settings, Browser& browser, const Clock& clock,
                               UserMessages& messages, const TimerFactory& timers, QObject* parent)
    : QObject(parent), settings_(settings), clock_(clock), messages_(messages) {
    Timer1 = timers(30000, false);
    Timer5 = timers(120000, false);
    run_ = std::make_unique<RunControl>(browser, *Timer1, *Timer5, settings_, clock_);
    graphs_ = std::make_unique<GraphSet>(settings_, messages_, *run_);
    driver_ = std::make_unique<PageDriver>(browser, *run_, settings_, CurrentSample, clock_);
    // Tries a router that cannot be reached before the first start again.
    driver_->setRetryTimer(timers(30000, true));
    // Gives up on a page the router does not answer.
    driver_->setDeadlineTimer(timers(30000, true));
    pipeline_ = std::make_unique<SamplePipeline>(settings_, CurrentSample, pipelineSteps());
    drops_ = std::make_unique<DropRecord>(messages_);
    drops_->setDamageTold(settings_.DropDamageTold);

    Timer1->setHandler([this] { runGuarded([this] { run_->Timer1Timer(); }); });
    Timer5->setHandler([this] { runGuarded([this] { run_->Timer5Timer(); }); });
    connect(run_.get(), &RunControl::rateTextsCleared, this, [this] {
        CurrentSample.DataRateUpText.clear();
        CurrentSample.DataRateDownText.clear();
    });
    // A pause or a stop: nobody watches the line until the next reading.
    connect(run_.get(), &RunControl::stateChanged, this, [this](MonitorState state) {
        if (state != MonitorState::Running)
            drops_->unwatched();
    });
    connect(run_.get(), &RunControl::lostSyncPendingCleared, this,
            [this] { pipeline_->LostSyncPending = false; });
    connect(driver_.get(), &PageDriver::pageReady, this,
            [this](const LineReading& reading) { runGuarded([&] { handleReading(reading); }); });
    connect(driver_.get(), &PageDriver::documentReadFailed, this,
            [this](const QString& message) { messages_.error(message); });
}

MonitorSession::~MonitorSession() = default;

// The steps read view_ when they run, so the window may supply its steps after construction.
SamplePipeline::Steps MonitorSession::pipelineSteps() {
    SamplePipeline::Steps steps;
    steps.SetLabelSpacing = [this](bool dateStamp) { graphs_->SetLabelSpacing(dateStamp); };
    steps.PointLabel = &GraphSet::PointLabel;
    steps.AppendSample = [this](const QString& L, const QString& W, const LineSample& S) {
        graphs_->AppendSample(L, W, S);
    };
    steps.PointCount = [this] { return graphs_->PointCount(); };
    steps.CaptureAllGraphs = [this] {
        if (!view_.CaptureAllGraphs)
            return;
        // The images this capture wrote belong to the drop the sample may be part of.
        const QSet<QString> before = captureImages(settings_);
        view_.CaptureAllGraphs();
        QStringList written;
        for (const QString& name : captureImages(settings_))
            if (!before.contains(name))
                written << name;
        written.sort();
        drops_->addImages(written);
    };
    steps.ShowLostSyncIndicator = [this] {
        if (view_.ShowLostSyncIndicator)
            view_.ShowLostSyncIndicator();
    };
    steps.IconNoise = [this](const QString& state) {
        if (view_.IconNoise)
            view_.IconNoise(state);
    };
    steps.WebImageBusy = [this] { return view_.WebImageBusy && view_.WebImageBusy(); };
    steps.WriteWebImage = [this] {
        if (view_.WriteWebImage)
            view_.WriteWebImage();
    };
    steps.TrimBusy = [this] { return trimBusy_.isSet(); };
    steps.AppendDataLine = [this](const QString& L, const LineSample& S) {
        // A failed write loses this line only; the graphs and the log go on.
        (void)DataRestoreFile::Append(DataRestoreFile::PathIn(settings_.DataFileFolder), L, S);
    };
    steps.WriteLogRow = [this](const QDateTime& t, const LineSample& S) {
        // A failed write loses this row only; a pending header waits for the next one.
        (void)log_.WriteRow(settings_.LogFile,
                            LogLine(t, S, settings_.LogDateFormat, settings_.LogTab));
    };
    steps.UpdateLogStatus = [this] {
        if (view_.UpdateLogStatus)
            view_.UpdateLogStatus();
    };
    steps.UpdateCaptureStatus = [this] {
        if (view_.UpdateCaptureStatus)
            view_.UpdateCaptureStatus();
    };
    return steps;
}

void MonitorSession::RestoreDataFile() {
    const QString path = DataRestoreFile::PathIn(settings_.DataFileFolder);
    // Room for the whole history and a day of live samples, so the series never regrow.
    graphs_->Reserve(countLines(path) + 8640);
    const QString webLabel = GraphSet::WebLabel(clock_.now());
    QString error;
    DropHistory history;
    if (!DataRestoreFile::Restore(
            path,
            [this, &webLabel, &history](const QString& label, const LineSample& s) {
                CurrentSample = s;
                graphs_->AppendSample(label, webLabel, s);
                history.add(label, s);
            },
            &error))
        messages_.error(error);
    if (graphs_->PointCount() > 0)
        newestPoint_ = QFileInfo(path).lastModified();
    // The same read fills a missing drop record and finds a drop that was in progress.
    drops_->setFolder(settings_.DataFileFolder);
    drops_->setIntervalSeconds(settings_.Sample);
    drops_->startFrom(history.finish(QFileInfo(path).lastModified(), settings_.Sample));
    settings_.DropDamageTold = drops_->damageTold();
}

// Every consumer gets the reading as a value, in this one order: the pipeline (graphs, captures,
// tray picture, web image, data file, log), the drop record, then the views.
void MonitorSession::handleReading(const LineReading& reading) {
    const bool running = run_->state() == MonitorState::Running;
    const bool plotted = running && driver_->StatsParsed;
    const int points = graphs_->PointCount();
    // Set first: the pipeline's view steps ask what this reading was.
    lastReading_ = reading;
    if (reading.state == LineReading::State::Synced)
        lastSynced_ = reading;
    pipeline_->Run(reading.time, clock_.now(), running, driver_->StatsParsed);
    if (graphs_->PointCount() > points)
        newestPoint_ = reading.time;
    // Every plotted reading, an unread one included: the record tells them apart.
    if (plotted)
        feedDrops(reading);
    Q_EMIT readingHandled(reading, plotted);
}

void MonitorSession::feedDrops(const LineReading& reading) {
    drops_->setFolder(settings_.DataFileFolder);
    drops_->setIntervalSeconds(settings_.Sample);
    const size_t events = drops_->events().size();
    const bool wasDown = drops_->inDrop();
    drops_->feed(reading);
    settings_.DropDamageTold = drops_->damageTold();
    // While the line is down every sample changes how long it has been down.
    if (drops_->events().size() != events || wasDown || drops_->inDrop())
        Q_EMIT dropsChanged();
}

DropRecord& MonitorSession::loadedDrops() {
    const size_t events = drops_->events().size();
    drops_->setFolder(settings_.DataFileFolder);
    drops_->setIntervalSeconds(settings_.Sample);
    drops_->ensureStarted();
    settings_.DropDamageTold = drops_->damageTold();
    if (drops_->events().size() != events)
        Q_EMIT dropsChanged();
    return *drops_;
}

bool MonitorSession::showGraphsAt(const QDateTime& from, const QDateTime& to) {
    const LabelStore& labels = graphs_->labels();
    const qsizetype count = std::min<qsizetype>(labels.size(), graphs_->PointCount());
    const auto labelAt = [&labels](qsizetype i) { return labels.at(i); };
    const std::optional<qsizetype> first =
        LabelDates::pointAtOrBefore(count, labelAt, newestPoint_, from);
    if (!first)
        return false;
    const qsizetype last =
        LabelDates::pointAtOrBefore(count, labelAt, newestPoint_, to).value_or(*first);
    graphs_->showPoints(*first, std::max(*first, last));
    return true;
}

void MonitorSession::TrimDataFileProc() {
    QString error;
    if (!DataRestoreFile::Trim(DataRestoreFile::PathIn(settings_.DataFileFolder), settings_.Sample,
                               settings_.TrimDataFileDays, trimBusy_, &error))
        messages_.inform(error);
    drops_->setFolder(settings_.DataFileFolder);
    const size_t events = drops_->events().size();
    drops_->trim(settings_.TrimDataFileDays, clock_.now());
    settings_.DropDamageTold = drops_->damageTold();
    if (drops_->events().size() != events)
        Q_EMIT dropsChanged();
}

// A handler whose error nothing else catches ends there and shows the standard error box.
void MonitorSession::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const AxisRangeError& e) {
        messages_.error(e.message());
    }
}
