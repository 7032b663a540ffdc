#pragma once
// Images of the graphs in the capture folder: all four at once (by hand, automatically, at
// close), the visible one, the visible one under a chosen name, and the clipboard copy. Every
// chart is rendered at the size of the current tab page's content, so images do not depend on
// which tab happens to be shown or on the display's scale.
#include "capture/AddHeader.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class Clock;
class GraphSet;
class UserMessages;
struct Settings;

class GraphCapture {
public:
    // What the window tells the captures; an empty function is skipped or gives a default.
    struct View {
        std::function<int()> activeTab;             // PageControl1's current index
        std::function<QString(int tab)> tabCaption; // for tabs that show no graph
        std::function<QSize()> pageSize;            // the current tab page's content
        // The names of the quantities chosen in the user-graph lists (0: boxUser1, 1: boxUser2).
        std::function<QString(int userGraph)> userGraphName;
        std::function<ImageHeader::Texts()> headerTexts;
        std::function<void()> highlightGraphsGroup;           // "Graphs" group box turns white
        std::function<void(const QString&)> setCaptureStatus; // status panel 2
    };
    // Who asked: the user, the sample pipeline, or the close sequence (which shows nothing).
    enum class Trigger { Hand, Automatic, Close };

    // A page size of nothing (a window never shown) renders at this size.
    static constexpr QSize FallbackSize{640, 480};

    GraphCapture(const Settings& settings, GraphSet& graphs, const Clock& clock,
                 UserMessages& messages, QString programFolder, View view);

    // The capture folder named by the Capture setting, and whether it exists.
    QString folder() const;
    bool folderExists() const;

    // Writes Chart1..Chart4 in that order; a failure ends the group (the rest is skipped) and
    // is reported once, naming the file. Returns the number of files written. Then sets the
    // capture status.
    int CaptureAllGraphs(Trigger trigger = Trigger::Hand);
    // The close sequence's capture: only with "Capture graph images when Lintrove closes" ticked
    // and more than two plotted samples; nothing is shown.
    void CaptureAtClose(int pointCount);
    // Writes the visible tab's graph; without the folder, asks for one and highlights the Graphs
    // group. Returns whether a file was written.
    bool CaptureVisibleGraph();
    // Renders the visible graph now, asks for a name (askFileName gets the capture folder and
    // answers empty on cancel), then draws the header and writes it. A failure is shown in the
    // standard error box. Returns whether a file was written.
    bool SaveVisibleGraphAs(const std::function<QString(const QString& startFolder)>& askFileName);
    // Puts the visible graph (without header) on the clipboard; on other tabs nothing happens.
    void CopyVisibleGraph();

    // Status panel 2's text for the current folder.
    QString captureStatus() const;

    // The chart shown on a tab: Chart2 on tab 2, Chart3 on 3, Chart4 on 4, else Chart1.
    static int chartForTab(int tab);
    // The message for a folder that does not exist (automatic captures).
    static QString missingFolderMessage(const QString& folder);
    // The message for an image that could not be written.
    static QString notSavedMessage(const QString& file, const QString& reason);
    static QString selectFolderMessage();

private:
    QSize renderSize() const;
    QImage renderWithHeader(int chart) const;
    QString userGraphName(int index) const;
    // Writes one image; on failure returns false with the message text in *message.
    bool writeImage(const QImage& image, const QString& name, QString* message) const;
    void report(Trigger trigger, const QString& message);

    const Settings& settings_;
    GraphSet& graphs_;
    const Clock& clock_;
    UserMessages& messages_;
    QString programFolder_;
    View view_;
    // An automatic capture that keeps failing (every page) reports once, until one succeeds.
    bool automaticFailureShown_ = false;
};
