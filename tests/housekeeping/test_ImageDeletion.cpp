#include "housekeeping/ImageDeletion.h"

#include "TestFiles.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 5, 20), QTime(12, 0));

class DeleteFilesTest : public testing::Test {
protected:
    DeleteFilesTest() {
        capture = dir.filePath(QStringLiteral("Capture"));
        QDir().mkpath(capture);
        settings.Capture = capture;
        settings.DeleteDays = 5;
        settings.AddPrefix = true;
        settings.ImagePrefix = QStringLiteral("Ltrv-");
        settings.Recycle = false;
    }

    // A file in the capture folder last written ageSecs seconds before kNow.
    QString file(const QString& name, qint64 ageSecs) {
        const QString path = capture + QLatin1Char('/') + name;
        writeFile(path, "jpeg");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        EXPECT_TRUE(f.setFileTime(kNow.addSecs(-ageSecs), QFileDevice::FileModificationTime));
        return path;
    }
    QStringList present() const {
        return QDir(capture).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                       QDir::Name);
    }

    QTemporaryDir dir;
    QString capture;
    Settings settings;
};

constexpr qint64 kDay = 86400;

TEST_F(DeleteFilesTest, PrefixDecidesWhichOldImagesGo) {
    const struct {
        bool addPrefix;
        QStringList left;
    } cases[] = {
        // Only names the program writes; another program's pictures stay.
        {true,
         {"Ltrv-new.jpg", "holiday.jpg", "ltrv-lower.jpg", "Ltrv-old.JPG", "Ltrv-old.jpeg",
          "Ltrv-old.txt"}},
        // Without the prefix every old ".jpg" goes.
        {false, {"Ltrv-new.jpg", "Ltrv-old.JPG", "Ltrv-old.jpeg", "Ltrv-old.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.addPrefix);
        for (const QString& name : present())
            QFile::remove(capture + QLatin1Char('/') + name);
        file("Ltrv-old.jpg", 6 * kDay);
        file("Ltrv-new.jpg", 4 * kDay);
        file("holiday.jpg", 6 * kDay);
        file("ltrv-lower.jpg", 6 * kDay);
        file("Ltrv-old.JPG", 6 * kDay);
        file("Ltrv-old.jpeg", 6 * kDay);
        file("Ltrv-old.txt", 6 * kDay);
        settings.AddPrefix = c.addPrefix;
        DeleteFiles(settings, dir.path(), kNow);
        QStringList expected = c.left;
        expected.sort();
        EXPECT_EQ(present(), expected);
    }
}

TEST_F(DeleteFilesTest, PrefixIsLiteralText) {
    settings.ImagePrefix = QStringLiteral("[a]*?");
    file("[a]*?1.jpg", 6 * kDay);
    file("a-1.jpg", 6 * kDay);
    file("[a]xx1.jpg", 6 * kDay);
    DeleteFiles(settings, dir.path(), kNow);
    EXPECT_EQ(present(), (QStringList{"[a]xx1.jpg", "a-1.jpg"}));
}

TEST_F(DeleteFilesTest, CutOffIsWholeDaysBeforeNow) {
    file("Ltrv-a.jpg", 5 * kDay + 1);
    file("Ltrv-b.jpg", 5 * kDay - 1);
    file("Ltrv-future.jpg", -60);
    DeleteFiles(settings, dir.path(), kNow);
    EXPECT_EQ(present(), (QStringList{"Ltrv-b.jpg", "Ltrv-future.jpg"}));

    // DeleteDays 0: everything written before this moment.
    settings.DeleteDays = 0;
    DeleteFiles(settings, dir.path(), kNow);
    EXPECT_EQ(present(), QStringList{"Ltrv-future.jpg"});
}

TEST_F(DeleteFilesTest, HiddenAndReadOnlyFilesGoFoldersAndLinksStay) {
    settings.AddPrefix = false; // a hidden name begins with a dot
    file(".hidden.jpg", 6 * kDay);
    const QString readOnly = file("Ltrv-ro.jpg", 6 * kDay);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
    QDir(capture).mkdir(QStringLiteral("Ltrv-folder.jpg"));
    const QString outside = dir.filePath(QStringLiteral("Ltrv-outside.jpg"));
    writeFile(outside, "x");
    QFile::link(outside, capture + QStringLiteral("/Ltrv-link.jpg"));
    const DeletionResult r = DeleteFiles(settings, dir.path(), kNow.addDays(30));
    EXPECT_EQ(present(), (QStringList{"Ltrv-folder.jpg", "Ltrv-link.jpg"}));
    EXPECT_EQ(r.removed.size(), 2);
    EXPECT_TRUE(QFileInfo::exists(outside));
}

TEST_F(DeleteFilesTest, NothingWithoutAnExistingFolder) {
    // An empty folder text would be the working folder: put an old image there to prove it stays.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(capture));
    file("Ltrv-old.jpg", 6 * kDay);
    for (const QString& folder : {QString(), dir.filePath(QStringLiteral("missing")),
                                  capture + QStringLiteral("/Ltrv-old.jpg")}) {
        settings.Capture = folder;
        const DeletionResult r = DeleteFiles(settings, dir.path(), kNow);
        EXPECT_TRUE(r.removed.isEmpty() && r.failed.isEmpty()) << folder.toStdString();
    }
    QDir::setCurrent(before);
    EXPECT_EQ(present(), QStringList{"Ltrv-old.jpg"});
}

TEST_F(DeleteFilesTest, RelativeFolderLiesBesideTheProgramNotInTheWorkingFolder) {
    // The program folder is dir; the working folder holds a "Capture" of its own with an old
    // image of the same name, which belongs to somebody else.
    QTemporaryDir working;
    ASSERT_TRUE(QDir(working.path()).mkdir(QStringLiteral("Capture")));
    const QString stranger = working.filePath(QStringLiteral("Capture/Ltrv-old.jpg"));
    writeFile(stranger, "not ours");
    {
        QFile f(stranger);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(kNow.addDays(-30), QFileDevice::FileModificationTime));
    }
    file("Ltrv-old.jpg", 6 * kDay);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(working.path()));
    for (const char* text : {"Capture", "./Capture/", "Capture/../Capture"}) {
        settings.Capture = QString::fromLatin1(text);
        DeleteFiles(settings, dir.path(), kNow);
        EXPECT_TRUE(present().isEmpty()) << text;
        EXPECT_TRUE(QFileInfo::exists(stranger)) << text;
        file("Ltrv-old.jpg", 6 * kDay);
    }
    QDir::setCurrent(before);
}

TEST_F(DeleteFilesTest, RecycleMovesToTheTrashAndNeverDeletesOnFailure) {
    settings.Recycle = true;
    const QString a = file("Ltrv-a.jpg", 6 * kDay);
    const QString b = file("Ltrv-b.jpg", 6 * kDay);
    const QString c = file("Ltrv-c.jpg", 6 * kDay);
    QStringList asked;
    // The trash refuses the middle file: it stays, and the pass goes on with the others.
    const DeletionResult r = DeleteFiles(settings, dir.path(), kNow, [&](const QString& path) {
        asked << QFileInfo(path).fileName();
        return path == b ? false : QFile::remove(path);
    });
    EXPECT_EQ(asked, (QStringList{"Ltrv-a.jpg", "Ltrv-b.jpg", "Ltrv-c.jpg"}));
    EXPECT_EQ(present(), QStringList{"Ltrv-b.jpg"});
    EXPECT_EQ(r.failed, QStringList{b});
    EXPECT_EQ(r.removed.size(), 2);
    Q_UNUSED(a);
    Q_UNUSED(c);
}

TEST_F(DeleteFilesTest, RecycleFileLandsInTheDesktopTrash) {
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    settings.Recycle = true;
    file("Ltrv-old.jpg", 6 * kDay);
    const DeletionResult r = DeleteFiles(settings, dir.path(), kNow);
    if (oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
    EXPECT_EQ(r.removed.size(), 1);
    EXPECT_TRUE(present().isEmpty());
    EXPECT_TRUE(QFileInfo(data + QStringLiteral("/Trash/files/Ltrv-old.jpg")).isFile());
    EXPECT_TRUE(QFileInfo(data + QStringLiteral("/Trash/info/Ltrv-old.jpg.trashinfo")).isFile());
}

TEST(GetFileDateTime, UnreadableTimeIsTheStartOfTheScale) {
    QTemporaryDir dir;
    EXPECT_EQ(GetFileDateTime(dir.filePath(QStringLiteral("missing"))),
              QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    const QString path = dir.filePath(QStringLiteral("f.jpg"));
    writeFile(path, "x");
    EXPECT_LE(qAbs(GetFileDateTime(path).secsTo(QDateTime::currentDateTime())), 60);
}

} // namespace
