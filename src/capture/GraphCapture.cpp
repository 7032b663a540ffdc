#include "capture/GraphCapture.h"

#include "capture/CaptureFileNames.h"
#include "capture/CaptureFolder.h"
#include "capture/JpegWriter.h"
#include "charting/ChartRenderer.h"
#include "core/Clock.h"
#include "core/UserMessages.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"

#include <QDir>

GraphCapture::GraphCapture(const Settings& settings, GraphSet& graphs, const Clock& clock,
                           UserMessages& messages, QString programFolder, View view)
    : settings_(settings), graphs_(graphs), clock_(clock), messages_(messages),
      programFolder_(std::move(programFolder)), view_(std::move(view)) {}

QString GraphCapture::folder() const {
    return CaptureFolder::resolve(settings_.Capture, programFolder_);
}

bool GraphCapture::folderExists() const {
    return CaptureFolder::exists(settings_.Capture, programFolder_);
}

QString GraphCapture::captureStatus() const {
    return CaptureFolder::statusText(settings_.Capture, programFolder_);
}

int GraphCapture::chartForTab(int tab) {
    switch (tab) {
    case 2:
        return GraphSet::Chart2;
    case 3:
        return GraphSet::Chart3;
    case 4:
        return GraphSet::Chart4;
    default:
        return GraphSet::Chart1;
    }
}

QString GraphCapture::missingFolderMessage(const QString& folder) {
    return QStringLiteral("Unable to find the capture folder: ") + folder +
           QStringLiteral("\nGraph images not saved!");
}

QString GraphCapture::notSavedMessage(const QString& file, const QString& reason) {
    return QStringLiteral("Graph image not saved: ") + file + QLatin1Char('\n') + reason;
}

QString GraphCapture::selectFolderMessage() {
    return QStringLiteral("Please select a suitable folder in which to capture the images");
}

QSize GraphCapture::renderSize() const {
    const QSize size = view_.pageSize ? view_.pageSize() : QSize();
    return size.isEmpty() ? FallbackSize : size;
}

QString GraphCapture::userGraphName(int index) const {
    return view_.userGraphName ? view_.userGraphName(index) : QString();
}

QImage GraphCapture::renderWithHeader(int chart) const {
    QImage image = ChartRenderer::RenderChartBitmap(graphs_.chart(chart), renderSize());
    AddHeader(image, view_.headerTexts ? view_.headerTexts() : ImageHeader::Texts{}, clock_.now());
    return image;
}

bool GraphCapture::writeImage(const QImage& image, const QString& name, QString* message) const {
    const QString path = QDir(folder()).filePath(name);
    // The prefix and the date format come from the user: a "/" would leave the folder.
    if (!CaptureFileNames::isPlainName(name)) {
        *message = notSavedMessage(
            path, QStringLiteral("The image prefix and date format must not give \"/\"."));
        return false;
    }
    QString error;
    if (!JpegWriter::write(image, path, &error)) {
        *message = notSavedMessage(path, error);
        return false;
    }
    return true;
}

void GraphCapture::report(Trigger trigger, const QString& message) {
    switch (trigger) {
    case Trigger::Close:
        return;
    case Trigger::Automatic:
        if (automaticFailureShown_)
            return;
        automaticFailureShown_ = true;
        break;
    case Trigger::Hand:
        break;
    }
    messages_.inform(message);
}

int GraphCapture::CaptureAllGraphs(Trigger trigger) {
    int written = 0;
    if (!folderExists()) {
        report(trigger, missingFolderMessage(settings_.Capture));
    } else {
        const QString user1 = userGraphName(0), user2 = userGraphName(1);
        for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart) {
            const QImage image = renderWithHeader(chart);
            // The time is taken anew for every file.
            const QString name = CaptureFileNames::fileName(
                settings_, CaptureFileNames::allGraphsBase(chart, user1, user2), clock_.now());
            QString message;
            if (!writeImage(image, name, &message)) {
                report(trigger, message);
                break;
            }
            ++written;
        }
        if (written == 4 && trigger == Trigger::Automatic)
            automaticFailureShown_ = false;
    }
    if (view_.setCaptureStatus)
        view_.setCaptureStatus(captureStatus());
    return written;
}

void GraphCapture::CaptureAtClose(int pointCount) {
    if (settings_.OnClose && pointCount > 2)
        CaptureAllGraphs(Trigger::Close);
}

bool GraphCapture::CaptureVisibleGraph() {
    if (!folderExists()) {
        messages_.inform(selectFolderMessage());
        if (view_.highlightGraphsGroup)
            view_.highlightGraphsGroup();
        return false;
    }
    const int tab = view_.activeTab ? view_.activeTab() : 1;
    const QImage image = renderWithHeader(chartForTab(tab));
    const QString base =
        CaptureFileNames::visibleBase(tab, userGraphName(0), userGraphName(1),
                                      view_.tabCaption ? view_.tabCaption(tab) : QString());
    QString message;
    if (!writeImage(image, CaptureFileNames::fileName(settings_, base, clock_.now()), &message)) {
        messages_.inform(message);
        return false;
    }
    return true;
}

bool GraphCapture::SaveVisibleGraphAs(
    const std::function<QString(const QString& startFolder)>& askFileName) {
    const int tab = view_.activeTab ? view_.activeTab() : 1;
    // Rendered before the dialog: the picture is the graph as it was when the user asked.
    QImage image = ChartRenderer::RenderChartBitmap(graphs_.chart(chartForTab(tab)), renderSize());
    const QString path = askFileName(folder());
    if (path.isEmpty())
        return false;
    AddHeader(image, view_.headerTexts ? view_.headerTexts() : ImageHeader::Texts{}, clock_.now());
    QString error;
    if (!JpegWriter::write(image, path, &error)) {
        messages_.error(notSavedMessage(path, error));
        return false;
    }
    return true;
}

void GraphCapture::CopyVisibleGraph() {
    const int tab = view_.activeTab ? view_.activeTab() : 1;
    if (tab < 1 || tab > 4)
        return;
    ChartRenderer::CopyToClipboard(graphs_.chart(chartForTab(tab)), renderSize());
}
