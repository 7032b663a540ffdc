#include "capture/WebImageWriter.h"

#include "CaptureFixture.h"
#include "TestFiles.h"

#include <QImageReader>

namespace {

TEST(WebImageSize, WholeNumbersFromOneToTenThousandElseTheDefaults) {
    const struct {
        const char* width;
        const char* height;
        QSize size;
    } cases[] = {{"500", "250", {500, 250}}, {"abc", "", {500, 300}},
                 {"0", "10001", {500, 300}}, {"1", "10000", {1, 10000}},
                 {"12.5", "-4", {500, 300}}, {" 640 ", "480", {640, 480}}};
    for (const auto& c : cases)
        EXPECT_EQ(WebImageWriter::imageSize(c.width, c.height), c.size)
            << c.width << " " << c.height;
}

class WebImageTest : public CaptureFixture {
protected:
    WebImageWriter make() {
        return WebImageWriter(settings, graphs, clock, messages, dir.path(), view.headerTexts,
                              [this] { return busy; });
    }
    bool busy = false;
};

TEST_F(WebImageTest, WritesNoiseJpgAtTheBoxesSize) {
    settings.WebFolder = dir.path();
    settings.webWidth = QStringLiteral("abc");
    settings.webHeight = QStringLiteral("250");
    auto writer = make();
    EXPECT_TRUE(writer.WriteWebImage());
    EXPECT_EQ(files(), QStringList{QStringLiteral("noise.jpg")});
    const QString path = dir.filePath(QStringLiteral("noise.jpg"));
    EXPECT_TRUE(isBaselineJpeg(readFile(path)));
    EXPECT_EQ(QImageReader(path).size(), QSize(500, 250));
}

TEST_F(WebImageTest, WhileARequestRunsThePreviousImageStays) {
    settings.WebFolder = dir.path();
    writeFile(dir.filePath(QStringLiteral("noise.jpg")), "previous");
    busy = true;
    auto writer = make();
    EXPECT_FALSE(writer.WriteWebImage());
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("noise.jpg"))), QByteArray("previous"));
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(WebImageTest, AMissingOrEmptyFolderShowsTheMessage) {
    for (const QString& folder : {dir.filePath(QStringLiteral("gone")), QString()}) {
        messages.informed.clear();
        settings.WebFolder = folder;
        auto writer = make();
        EXPECT_FALSE(writer.WriteWebImage());
        EXPECT_EQ(messages.informed,
                  QStringList{QStringLiteral("Web server error: Unable to find folder: ") + folder +
                              QStringLiteral("\nImage noise.jpg not saved!")});
    }
    EXPECT_TRUE(files().isEmpty());
}

} // namespace
