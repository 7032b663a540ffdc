#include "capture/WebImageWriter.h"

#include "capture/CaptureFolder.h"
#include "capture/JpegWriter.h"
#include "charting/ChartRenderer.h"
#include "core/Clock.h"
#include "core/UserMessages.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFileInfo>

WebImageWriter::WebImageWriter(const Settings& settings, GraphSet& graphs, const Clock& clock,
                               UserMessages& messages, QString programFolder,
                               std::function<ImageHeader::Texts()> headerTexts,
                               std::function<bool()> busy)
    : settings_(settings), graphs_(graphs), clock_(clock), messages_(messages),
      programFolder_(std::move(programFolder)), headerTexts_(std::move(headerTexts)),
      busy_(std::move(busy)) {}

namespace {

int wholeNumberIn(const QString& text, int low, int high, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace

QSize WebImageWriter::imageSize(const QString& width, const QString& height) {
    return {wholeNumberIn(width, 1, 10000, 500), wholeNumberIn(height, 1, 10000, 300)};
}

QString WebImageWriter::folder() const {
    return CaptureFolder::resolve(settings_.WebFolder, programFolder_);
}

QString WebImageWriter::failureMessage(const QString& webFolder) {
    return QStringLiteral("Web server error: Unable to find folder: ") + webFolder +
           QStringLiteral("\nImage noise.jpg not saved!");
}

bool WebImageWriter::WriteWebImage() {
    if (busy_ && busy_())
        return false;
    const QString dir = folder();
    bool written = false;
    if (!dir.isEmpty() && QFileInfo(dir).isDir()) {
        QImage image = ChartRenderer::RenderChartBitmap(
            graphs_.chart(GraphSet::Chart5), imageSize(settings_.webWidth, settings_.webHeight));
        AddHeader(image, headerTexts_ ? headerTexts_() : ImageHeader::Texts{}, clock_.now());
        written = JpegWriter::write(image, QDir(dir).filePath(QLatin1String(FileName)));
    }
    if (!written)
        messages_.inform(failureMessage(settings_.WebFolder));
    return written;
}
