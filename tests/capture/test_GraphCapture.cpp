#include "CaptureFixture.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>

namespace {

const QStringList kAllFour = {QStringLiteral("Ltrv-ConnectionSpeed-20210302-091500.jpg"),
                              QStringLiteral("Ltrv-Line Attenuation-20210302-091500.jpg"),
                              QStringLiteral("Ltrv-Max Data Rate-20210302-091500.jpg"),
                              QStringLiteral("Ltrv-NoiseMargin-20210302-091500.jpg")};

TEST_F(CaptureFixture, AllGraphsWritesFourBaselineImagesAtThePageSize) {
    auto capture = make();
    EXPECT_EQ(capture.CaptureAllGraphs(), 4);
    EXPECT_EQ(files(), kAllFour);
    for (const QString& name : kAllFour) {
        const QByteArray bytes = readFile(dir.filePath(name));
        EXPECT_TRUE(isBaselineJpeg(bytes)) << name.toStdString();
        EXPECT_EQ(QImageReader(dir.filePath(name)).size(), pageSize) << name.toStdString();
    }
    EXPECT_TRUE(status.startsWith(QStringLiteral("Capture folder:  "))) << status.toStdString();
    EXPECT_NE(status, QStringLiteral("Capture folder:  [no files]"));
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(CaptureFixture, AWindowNeverShownRendersAtTheFallbackSize) {
    pageSize = QSize();
    auto capture = make();
    ASSERT_TRUE(capture.CaptureVisibleGraph());
    EXPECT_EQ(QImageReader(dir.filePath(files().value(0))).size(), GraphCapture::FallbackSize);
}

TEST_F(CaptureFixture, AFailedSaveEndsTheGroupWithOneMessageNamingTheFile) {
    // The second image's name is taken by a folder: the first is written, the rest skipped.
    const QString blocked = dir.filePath(kAllFour[0]);
    ASSERT_TRUE(QDir().mkdir(blocked));
    auto capture = make();
    EXPECT_EQ(capture.CaptureAllGraphs(), 1);
    EXPECT_EQ(files(), QStringList{kAllFour[3]});
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].startsWith(GraphCapture::notSavedMessage(blocked, {})))
        << messages.informed[0].toStdString();
}

TEST_F(CaptureFixture, AutomaticCapturesReportAFailureOnceUntilOneSucceeds) {
    settings.Capture = dir.filePath(QStringLiteral("gone"));
    auto capture = make();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(capture.CaptureAllGraphs(GraphCapture::Trigger::Automatic), 0);
    EXPECT_EQ(messages.informed, QStringList{GraphCapture::missingFolderMessage(settings.Capture)});
    EXPECT_EQ(status, QString());

    // Once the folder is back a capture succeeds, and the next failure is reported again.
    ASSERT_TRUE(QDir().mkdir(settings.Capture));
    EXPECT_EQ(capture.CaptureAllGraphs(GraphCapture::Trigger::Automatic), 4);
    ASSERT_TRUE(QDir(settings.Capture).removeRecursively());
    capture.CaptureAllGraphs(GraphCapture::Trigger::Automatic);
    EXPECT_EQ(messages.informed.size(), 2);

    // By hand every failure is reported.
    capture.CaptureAllGraphs();
    EXPECT_EQ(messages.informed.size(), 3);
}

TEST_F(CaptureFixture, RefusedPrefixOrDateFormatWritesNothingOutsideTheFolder) {
    const struct {
        const char* prefix;
        const char* format;
    } cases[] = {{"../", "yyyymmdd-hhmmss"}, {"Ltrv-", "yyyy/mm/dd"}};
    QDir(dir.path()).mkdir(QStringLiteral("inner"));
    settings.Capture = dir.filePath(QStringLiteral("inner"));
    for (const auto& c : cases) {
        messages.informed.clear();
        settings.ImagePrefix = QString::fromUtf8(c.prefix);
        settings.ImageDateFormat = QString::fromUtf8(c.format);
        auto capture = make();
        EXPECT_EQ(capture.CaptureAllGraphs(), 0);
        EXPECT_EQ(messages.informed.size(), 1) << c.prefix << c.format;
        EXPECT_TRUE(files().isEmpty());
        EXPECT_TRUE(
            QDir(settings.Capture).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
}

TEST_F(CaptureFixture, CloseCapturesQuietlyAfterMoreThanTwoSamples) {
    auto capture = make();
    settings.OnClose = false;
    capture.CaptureAtClose(20);
    EXPECT_TRUE(files().isEmpty());
    settings.OnClose = true;
    capture.CaptureAtClose(2);
    EXPECT_TRUE(files().isEmpty());
    capture.CaptureAtClose(3);
    EXPECT_EQ(files(), kAllFour);

    settings.Capture = dir.filePath(QStringLiteral("gone"));
    capture.CaptureAtClose(3);
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(CaptureFixture, VisibleGraphByTab) {
    const struct {
        int tab;
        const char* file;
    } cases[] = {{1, "Ltrv-Noise Margin-20210302-091500.jpg"},
                 {2, "Ltrv-Connection Speed-20210302-091500.jpg"},
                 {3, "Ltrv-Max Data Rate-20210302-091500.jpg"},
                 {4, "Ltrv-Line Attenuation-20210302-091500.jpg"}};
    auto capture = make();
    for (const auto& c : cases) {
        activeTab = c.tab;
        EXPECT_TRUE(capture.CaptureVisibleGraph());
        EXPECT_TRUE(files().contains(QString::fromUtf8(c.file))) << c.file;
    }
    EXPECT_EQ(files().size(), 4);
    EXPECT_EQ(GraphCapture::chartForTab(0), GraphSet::Chart1);
    EXPECT_EQ(GraphCapture::chartForTab(5), GraphSet::Chart1);
}

TEST_F(CaptureFixture, VisibleGraphWithoutAFolderAsksForOne) {
    for (const QString& folder : {QString(), dir.filePath(QStringLiteral("gone"))}) {
        settings.Capture = folder;
        messages.informed.clear();
        highlights = 0;
        auto capture = make();
        EXPECT_FALSE(capture.CaptureVisibleGraph());
        EXPECT_EQ(messages.informed, QStringList{GraphCapture::selectFolderMessage()});
        EXPECT_EQ(highlights, 1);
    }
}

TEST_F(CaptureFixture, SaveAsWritesTheChosenNameOrNothingOnCancel) {
    auto capture = make();
    QString offered;
    EXPECT_FALSE(capture.SaveVisibleGraphAs([&](const QString& start) {
        offered = start;
        return QString();
    }));
    EXPECT_EQ(offered, dir.path());
    EXPECT_TRUE(files().isEmpty());

    const QString chosen = dir.filePath(QStringLiteral("mine.jpg"));
    EXPECT_TRUE(capture.SaveVisibleGraphAs([&](const QString&) { return chosen; }));
    EXPECT_TRUE(isBaselineJpeg(readFile(chosen)));

    // A failure goes to the standard error box.
    EXPECT_FALSE(capture.SaveVisibleGraphAs(
        [&](const QString&) { return dir.filePath(QStringLiteral("gone/x.jpg")); }));
    EXPECT_EQ(messages.errors.size(), 1);
}

TEST_F(CaptureFixture, CopyPutsTheGraphOnTheClipboardOnGraphTabsOnly) {
    auto capture = make();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    activeTab = 0;
    capture.CopyVisibleGraph();
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));
    activeTab = 2;
    capture.CopyVisibleGraph();
    EXPECT_EQ(clipboard->image().size(), pageSize);
}

} // namespace
