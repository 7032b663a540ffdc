#pragma once
// The served web image: the hidden noise-margin chart (Chart5) at the size of the web-image
// boxes, on white with the header, written as "noise.jpg" in the web folder under a temporary
// name and renamed, so that no web client ever receives half an image.
#include "capture/AddHeader.h"

#include <QSize>
#include <QString>
#include <functional>

class Clock;
class GraphSet;
class UserMessages;
struct Settings;

class WebImageWriter {
public:
    // busy: requests in progress (WebImageBusy); while it holds, the previous image stays.
    WebImageWriter(const Settings& settings, GraphSet& graphs, const Clock& clock,
                   UserMessages& messages, QString programFolder,
                   std::function<ImageHeader::Texts()> headerTexts, std::function<bool()> busy);

    // Renders and writes the image. Returns whether "noise.jpg" was replaced; a failure shows
    // the web-server message (one at a time) and the previous image stays.
    bool WriteWebImage();

    // The image's size from the width and height texts: whole numbers from 1 to 10000, else
    // 500 wide and 300 high.
    static QSize imageSize(const QString& width, const QString& height);
    // The folder named by the WebFolder setting (relative texts beside the program).
    QString folder() const;
    static QString failureMessage(const QString& webFolder);
    static constexpr const char* FileName = "noise.jpg";

private:
    const Settings& settings_;
    GraphSet& graphs_;
    const Clock& clock_;
    UserMessages& messages_;
    QString programFolder_;
    std::function<ImageHeader::Texts()> headerTexts_;
    std::function<bool()> busy_;
};
