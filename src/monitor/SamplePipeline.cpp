#include "monitor/SamplePipeline.h"

#include "core/FormatDateTime.h"

SamplePipeline::SamplePipeline(const Settings& settings, const LineSample& currentSample,
                               Steps steps)
    : settings_(settings), sample_(currentSample), steps_(std::move(steps)) {}

void SamplePipeline::Run(const QDateTime& sampleTime, const QDateTime& now, bool running,
                         bool statsParsed) {
    const bool dateStamp = settings_.DateStamp;
    if (steps_.SetLabelSpacing)
        steps_.SetLabelSpacing(dateStamp);
    const QString label = steps_.PointLabel ? steps_.PointLabel(sampleTime, dateStamp) : QString();

    if (!running || !statsParsed)
        return;

    if (steps_.AppendSample)
        steps_.AppendSample(label, FormatDateTime(QStringLiteral(" hh:mm:ss "), now), sample_);
    const int pointCount = steps_.PointCount ? steps_.PointCount() : 0;

    // A capture every page, or the follow-up capture one page after a lost connection.
    ++CapturePointCount;
    if ((LostSyncPending || settings_.cbCapture) && CapturePointCount >= settings_.PointsperPage) {
        if (steps_.CaptureAllGraphs)
            steps_.CaptureAllGraphs();
        CapturePointCount = 0;
        LostSyncPending = false;
    }

    // A lost connection: no sync (or almost none) or no noise margin left.
    if (settings_.LostSync && pointCount > 2 && !LostSyncPending && !sample_.hasSync()) {
        LostSyncPending = true;
        if (steps_.CaptureAllGraphs)
            steps_.CaptureAllGraphs();
        if (steps_.ShowLostSyncIndicator)
            steps_.ShowLostSyncIndicator();
        CapturePointCount = 0;
    }

    if (steps_.IconNoise)
        steps_.IconNoise(QStringLiteral("Run"));

    if (settings_.Web && !(steps_.WebImageBusy && steps_.WebImageBusy()) && steps_.WriteWebImage)
        steps_.WriteWebImage();

    const bool trimBusy = steps_.TrimBusy && steps_.TrimBusy();
    if (settings_.Restore && !trimBusy && steps_.AppendDataLine)
        steps_.AppendDataLine(label, sample_);

    if (settings_.cbLog && !trimBusy && steps_.WriteLogRow)
        steps_.WriteLogRow(sampleTime, sample_);
    if (steps_.UpdateLogStatus)
        steps_.UpdateLogStatus();

    if (steps_.UpdateCaptureStatus)
        steps_.UpdateCaptureStatus();
}
