#pragma once
// What happens to every completed page after the router page driver: the point label and label
// spacing, then, only while Running and once a statistics page was read, the plot, the automatic
// captures (every page, or after a lost connection and one page later), the tray icon, the web
// image, the data-restore line, the log row and the status texts, in that order.
#include "core/LineSample.h"
#include "storage/Settings.h"

#include <QDateTime>
#include <QString>
#include <functional>

class SamplePipeline {
public:
    // The operations the pipeline calls, each owned by its subsystem; an empty one is skipped.
    struct Steps {
        std::function<void(bool dateStamp)> SetLabelSpacing;
        std::function<QString(const QDateTime& sampleTime, bool dateStamp)> PointLabel;
        std::function<void(const QString& L, const QString& W, const LineSample& S)> AppendSample;
        std::function<int()> PointCount;
        std::function<void()> CaptureAllGraphs;
        std::function<void()> ShowLostSyncIndicator; // Image1 shown, Image2 hidden
        std::function<void(const QString& state)> IconNoise;
        std::function<bool()> WebImageBusy;
        std::function<void()> WriteWebImage;
        std::function<bool()> TrimBusy;
        std::function<void(const QString& L, const LineSample& S)> AppendDataLine;
        std::function<void(const QDateTime& sampleTime, const LineSample& S)> WriteLogRow;
        std::function<void()> UpdateLogStatus;     // status panel 1 and the ViewLog button
        std::function<void()> UpdateCaptureStatus; // status panel 2
    };

    SamplePipeline(const Settings& settings, const LineSample& currentSample, Steps steps);

    // Runs for a page that passed the login tests. now is the current time (the web label).
    void Run(const QDateTime& sampleTime, const QDateTime& now, bool running, bool statsParsed);

    int CapturePointCount = 0;
    bool LostSyncPending = false;

private:
    const Settings& settings_;
    const LineSample& sample_;
    Steps steps_;
};
