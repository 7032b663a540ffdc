#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/ViewerFileActions.h"
#include "app/dialogs/WindowMessages.h"
#include "capture/CaptureFolder.h"
#include "capture/PictureFile.h"
#include "core/DesktopShell.h"
#include "storage/Settings.h"

#include "ScriptedMessages.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A trash that is a folder of the test, or none at all.
class TrashShell final : public DesktopShell {
public:
    QString trash;
    bool moveToTrash(const QString& path) override {
        if (trash.isEmpty())
            return false;
        return QFile::rename(path, QDir(trash).filePath(QFileInfo(path).fileName()));
    }
    bool open(const QString& path) override {
        opened << path;
        return true;
    }
    QStringList opened;
};

QByteArray jpegOf(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// A JPEG header claiming 60000 x 60000 pixels, without the data.
QByteArray hugeHeader() {
    QByteArray bytes = jpegOf({8, 8});
    const qsizetype sof = bytes.indexOf("\xFF\xC0");
    bytes[sof + 5] = char(0xEA);
    bytes[sof + 6] = char(0x60);
    bytes[sof + 7] = char(0xEA);
    bytes[sof + 8] = char(0x60);
    return bytes;
}

TEST(PictureFile, ReadsRegularPicturesOnly) {
    QTemporaryDir dir;
    writeFile(dir.filePath("good.jpg"), jpegOf({40, 30}));
    writeFile(dir.filePath("damaged.jpg"), "not a picture at all");
    writeFile(dir.filePath("huge.jpg"), hugeHeader());
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("fifo.jpg")).constData(), 0600), 0);
    EXPECT_EQ(PictureFile::read(dir.filePath("good.jpg")).size(), QSize(40, 30));
    for (const char* name : {"damaged.jpg", "huge.jpg", "fifo.jpg", "missing.jpg"})
        EXPECT_TRUE(PictureFile::read(dir.filePath(name)).isNull()) << name;
    EXPECT_TRUE(PictureFile::read(dir.path()).isNull());
}

class ViewerTest : public ::testing::Test {
protected:
    ViewerTest() {
        settings.Capture = dir.filePath("Capture");
        QDir().mkdir(settings.Capture);
        QDir().mkdir(dir.filePath("Trash"));
        shell.trash = dir.filePath("Trash");
    }
    QString captured(const QString& name) const { return QDir(settings.Capture).filePath(name); }

    QTemporaryDir dir;
    Settings settings;
    TrashShell shell;
    ScriptedMessages messages;
};

TEST_F(ViewerTest, EmptyFolderThenAPictureAtNaturalSizeThenADamagedOneKeepsIt) {
    ImageViewer viewer(settings, dir.path(), shell, messages);
    viewer.show();
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Lintrove - Image Viewer"));
    EXPECT_EQ(viewer.directory(), settings.Capture);
    EXPECT_TRUE(viewer.picture().isNull());
    EXPECT_TRUE(viewer.selectedPath().isEmpty());

    writeFile(captured("a.jpg"), jpegOf({1200, 900}));
    writeFile(captured("bad.jpg"), "damaged");
    viewer.imageListBoxItemChange(captured("a.jpg"));
    EXPECT_EQ(viewer.picture().size(), QSize(1200, 900));
    EXPECT_EQ(viewer.statusText(), captured("a.jpg"));

    viewer.imageListBoxItemChange(captured("bad.jpg"));
    EXPECT_EQ(viewer.picture().size(), QSize(1200, 900));
    EXPECT_EQ(viewer.statusText(), captured("bad.jpg"));

    viewer.imageListBoxItemChange(QString());
    EXPECT_TRUE(viewer.picture().isNull());
    EXPECT_GE(viewer.minimumWidth(), 875);
    EXPECT_GE(viewer.minimumHeight(), 560);
}

TEST_F(ViewerTest, EachOpeningReturnsToTheCaptureFolder) {
    ImageViewer viewer(settings, dir.path(), shell, messages);
    viewer.show();
    viewer.setDirectory(dir.path());
    viewer.hide();
    viewer.show();
    EXPECT_EQ(viewer.directory(), settings.Capture);
}

// A capture folder that is gone (a removed USB stick, a parent never made) opens the nearest
// folder that exists and says so. Walking up with QDir::cdUp() hung the program here: ctest's
// TIMEOUT for this program ends such a run.
TEST_F(ViewerTest, AMissingCaptureFolderOpensItsNearestExistingAncestor) {
    const QString unique = QFileInfo(dir.path()).fileName();
    struct Case {
        const char* name;
        QString capture;
        QString shown;
        bool said; // the status bar says the folder does not exist
    };
    const QList<Case> cases{
        {"existing", settings.Capture, settings.Capture, false},
        {"missing leaf", dir.filePath("gone"), dir.path(), true},
        {"missing parent", dir.filePath("nothere/Capture"), dir.path(), true},
        {"relative, beside the program", QStringLiteral("Capture"), settings.Capture, false},
        {"relative, missing parent", QStringLiteral("nothere/Capture"), dir.path(), true},
        {"empty text", QString(), QStringLiteral("/"), false},
        {"only / exists", "/" + unique + "-nothere/a/b", QStringLiteral("/"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.Capture = c.capture;
        ImageViewer viewer(settings, dir.path(), shell, messages);
        viewer.show();
        EXPECT_EQ(viewer.directory(), c.shown);
        if (c.said)
            EXPECT_EQ(viewer.statusText(), "The folder " +
                                               CaptureFolder::resolve(c.capture, dir.path()) +
                                               " does not exist: showing " + c.shown);
        else
            EXPECT_EQ(viewer.statusText(), QString());
        // Browsing elsewhere and opening again finds the same place.
        viewer.hide();
        viewer.setDirectory(QDir::rootPath());
        viewer.show();
        EXPECT_EQ(viewer.directory(), c.shown);
    }
}

TEST_F(ViewerTest, DeleteAsksOnceAndMovesToTheTrashOrDeletesNothing) {
    ViewerFileActions actions(shell, messages,
                              [&](const QString& q) { return messages.confirm(q, {}); });
    writeFile(captured("a.jpg"), "a");
    messages.answerYes = false;
    EXPECT_FALSE(actions.remove(captured("a.jpg")));
    EXPECT_TRUE(QFile::exists(captured("a.jpg")));
    EXPECT_EQ(messages.questions, QStringList{QStringLiteral("Move \"a.jpg\" to the trash?")});

    messages.answerYes = true;
    shell.trash.clear(); // no trash: nothing is deleted
    EXPECT_FALSE(actions.remove(captured("a.jpg")));
    EXPECT_TRUE(QFile::exists(captured("a.jpg")));
    EXPECT_EQ(messages.informed.size(), 1);

    shell.trash = dir.filePath("Trash");
    EXPECT_TRUE(actions.remove(captured("a.jpg")));
    EXPECT_FALSE(QFile::exists(captured("a.jpg")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Trash/a.jpg")));
}

TEST_F(ViewerTest, CutRemovesOnlyAfterAPasteAndNothingIsOverwrittenWithoutAsking) {
    ViewerFileActions actions(shell, messages,
                              [&](const QString& q) { return messages.confirm(q, {}); });
    QDir().mkdir(dir.filePath("other"));
    writeFile(captured("a.jpg"), "new a");
    writeFile(dir.filePath("other/a.jpg"), "old a");

    actions.cut({captured("a.jpg")});
    EXPECT_TRUE(QFile::exists(captured("a.jpg"))); // cut alone moves nothing

    messages.answerYes = false; // keep the old file
    EXPECT_EQ(actions.paste(dir.filePath("other")), 0);
    EXPECT_EQ(readFile(dir.filePath("other/a.jpg")), "old a");
    EXPECT_TRUE(QFile::exists(captured("a.jpg")));

    // A failed paste (missing target folder) keeps the original too.
    EXPECT_EQ(actions.paste(dir.filePath("missing")), 0);
    EXPECT_TRUE(QFile::exists(captured("a.jpg")));

    messages.answerYes = true; // replace: the old one goes to the trash
    EXPECT_EQ(actions.paste(dir.filePath("other")), 1);
    EXPECT_EQ(readFile(dir.filePath("other/a.jpg")), "new a");
    EXPECT_EQ(readFile(dir.filePath("Trash/a.jpg")), "old a");
    EXPECT_FALSE(QFile::exists(captured("a.jpg")));

    // Copy keeps the original; a second paste into the same folder is a no-op on itself.
    actions.copy({dir.filePath("other/a.jpg")});
    EXPECT_EQ(actions.paste(settings.Capture), 1);
    EXPECT_TRUE(QFile::exists(dir.filePath("other/a.jpg")));
    EXPECT_EQ(actions.paste(dir.filePath("other")), 0);
}

TEST_F(ViewerTest, RenameAndNewFolder) {
    ViewerFileActions actions(shell, messages,
                              [&](const QString& q) { return messages.confirm(q, {}); });
    writeFile(captured("a.jpg"), "a");
    writeFile(captured("b.jpg"), "b");
    EXPECT_FALSE(actions.rename(captured("a.jpg"), QStringLiteral("../x.jpg")));
    messages.answerYes = false;
    EXPECT_FALSE(actions.rename(captured("a.jpg"), QStringLiteral("b.jpg")));
    EXPECT_EQ(readFile(captured("b.jpg")), "b");
    EXPECT_TRUE(actions.rename(captured("a.jpg"), QStringLiteral("c.jpg")));
    EXPECT_EQ(readFile(captured("c.jpg")), "a");

    EXPECT_EQ(actions.newFolder(settings.Capture), captured("New Folder"));
    EXPECT_EQ(actions.newFolder(settings.Capture), captured("New Folder 2"));
}

} // namespace
