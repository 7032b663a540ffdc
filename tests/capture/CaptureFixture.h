#pragma once
// A graph set with a few samples, a temporary capture folder and a fixed clock (09:15:00 on
// 2 March 2021), for the image tests.
#include "capture/GraphCapture.h"
#include "core/SamplingControl.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"

#include "FakeClock.h"
#include "RecordingMessages.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class NoSampling final : public SamplingControl {
public:
    void suspendSampling() override {}
    void resumeSampling() override {}
};

// Whether the bytes are a baseline JPEG: a start-of-frame 0 marker before the first scan, and
// neither a progressive (SOF2) nor an extended (SOF1) frame.
inline bool isBaselineJpeg(const QByteArray& bytes) {
    if (!bytes.startsWith("\xFF\xD8"))
        return false;
    for (qsizetype i = 2; i + 3 < bytes.size();) {
        if (uchar(bytes[i]) != 0xFF)
            return false;
        const uchar marker = uchar(bytes[i + 1]);
        if (marker == 0xC0)
            return true;
        if (marker == 0xC1 || marker == 0xC2 || marker == 0xDA)
            return false;
        const int length = uchar(bytes[i + 2]) << 8 | uchar(bytes[i + 3]);
        i += 2 + length;
    }
    return false;
}

// The number of colour components of the frame (3 for colour).
inline int jpegComponents(const QByteArray& bytes) {
    const qsizetype sof = bytes.indexOf("\xFF\xC0");
    return sof < 0 || sof + 9 >= bytes.size() ? 0 : uchar(bytes[sof + 9]);
}

class CaptureFixture : public ::testing::Test {
protected:
    CaptureFixture() {
        settings.Capture = dir.path();
        for (int i = 0; i < 20; ++i) {
            LineSample s;
            s.NoiseMarginUp = 6 + i % 3;
            s.NoiseMarginDown = 4 + i % 2;
            s.DataRateUp = 1000;
            s.DataRateDown = 15000;
            graphs.AppendSample(QStringLiteral(" 09:00:00 "), QStringLiteral(" 09:00:00 "), s);
        }
        view.activeTab = [this] { return activeTab; };
        view.tabCaption = [](int tab) { return QStringLiteral("Tab %1").arg(tab); };
        view.pageSize = [this] { return pageSize; };
        view.userGraphName = [this](int i) { return userGraphs[i]; };
        view.headerTexts = [] {
            return ImageHeader::Texts{QStringLiteral("1000"), QStringLiteral("15000"),
                                      QStringLiteral("1 days, 01:01:02")};
        };
        view.highlightGraphsGroup = [this] { ++highlights; };
        view.setCaptureStatus = [this](const QString& text) { status = text; };
    }

    GraphCapture make() {
        return GraphCapture(settings, graphs, clock, messages, dir.path(), view);
    }
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
    Settings settings;
    RecordingMessages messages;
    NoSampling sampling;
    GraphSet graphs{settings, messages, sampling};
    FakeClock clock{QDateTime(QDate(2021, 3, 2), QTime(9, 15, 0))};
    GraphCapture::View view;
    int activeTab = 1;
    QSize pageSize{700, 400};
    QString userGraphs[2] = {QStringLiteral("Max Data Rate"), QStringLiteral("Line Attenuation")};
    int highlights = 0;
    QString status;
};
