#include "capture/JpegWriter.h"

#include "CaptureFixture.h"
#include "TestFiles.h"

#include <QFile>
#include <QImageReader>
#include <unistd.h>

namespace {

QImage sampleImage(QSize size, QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(Qt::white);
    for (int x = 0; x < size.width(); ++x)
        image.setPixelColor(x, size.height() / 2, QColor(128, 0, 0));
    return image;
}

TEST(JpegWriter, WritesBaselineColourJpegsThatDecodeToTheImageSize) {
    QTemporaryDir dir;
    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                      QImage::Format_Grayscale8, QImage::Format_RGB16};
    for (const QImage::Format format : formats) {
        const QString path = dir.filePath(QStringLiteral("a.jpg"));
        QString error;
        ASSERT_TRUE(JpegWriter::write(sampleImage({321, 123}, format), path, &error))
            << error.toStdString();
        const QByteArray bytes = readFile(path);
        EXPECT_TRUE(isBaselineJpeg(bytes)) << format;
        EXPECT_EQ(jpegComponents(bytes), 3) << format;
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "jpeg");
        EXPECT_EQ(reader.read().size(), QSize(321, 123)) << format;
    }
}

TEST(JpegWriter, ReplacesAnExistingFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("noise.jpg"));
    writeFile(path, "old image");
    ASSERT_TRUE(JpegWriter::write(sampleImage({50, 40}), path));
    EXPECT_TRUE(isBaselineJpeg(readFile(path)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("noise.jpg")});
}

TEST(JpegWriter, AFailedWriteLeavesTheOldStateAndNoTemporaryFile) {
    QTemporaryDir dir;
    // A folder where the file should go: the rename fails, even for the superuser.
    const QString blocked = dir.filePath(QStringLiteral("blocked.jpg"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    QString error;
    EXPECT_FALSE(JpegWriter::write(sampleImage({50, 40}), blocked, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("blocked.jpg")});

    // A missing folder, and nothing to encode.
    EXPECT_FALSE(JpegWriter::write(sampleImage({50, 40}), dir.filePath("missing/a.jpg"), &error));
    EXPECT_FALSE(JpegWriter::write(QImage(), dir.filePath("b.jpg"), &error));
    EXPECT_FALSE(QFile::exists(dir.filePath("b.jpg")));
}

TEST(JpegWriter, AReadOnlyFolderGetsNoFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QString error;
    EXPECT_FALSE(JpegWriter::write(sampleImage({50, 40}), dir.filePath("a.jpg"), &error));
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
