#include "core/NumberText.h"
#include "core/SizeText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FormatSize, Thresholds) {
    const struct {
        qint64 bytes;
        const char* text;
    } cases[] = {{0, "[no files]"},    {700, "700 bytes"},    {1024, "1024 bytes"},
                 {1025, "1 KB"},       {1536, "1.5 KB"},      {2048, "2 KB"},
                 {1048576, "1024 KB"}, {1048577, "1 MB"},     {1610612736, "1.5 GB"},
                 {-1, "-1 bytes"},     {5368709120LL, "5 GB"}};
    QLocale::setDefault(QLocale::c());
    for (const auto& c : cases)
        EXPECT_EQ(FormatSize(c.bytes), QString::fromLatin1(c.text)) << c.bytes;
}

TEST(FormatHashes, UsesTheLocaleSeparator) {
    EXPECT_EQ(FormatHashes(1.5, QLocale(QLocale::German)), QStringLiteral("1,5"));
    EXPECT_EQ(FormatHashes(1.004, QLocale::c()), QStringLiteral("1"));
    EXPECT_EQ(FormatHashes(2.345678, QLocale::c()), QStringLiteral("2.35"));
}

TEST(RouterNumber, OnlyWholeNumbersWithAPointConvert) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"6.2", 6.2},
                 {"1,234", 0},
                 {"12.5,", 0},
                 {"", 0},
                 {"-", 0},
                 {" 7 ", 7},
                 {"-3.5", -3.5},
                 {"15.6 Mbps", 0},
                 {".5", 0.5},
                 {"abc", 0},
                 // Wider than any field of the router's: not one of its numbers.
                 {"4294967296", 4294967296.0},
                 {"-4294967296", -4294967296.0},
                 {"4294967297", 0},
                 {"1e308", 0},
                 {"-1e20", 0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ParseRouterNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(FolderSize, CountsFilesInSubFoldersAndMissingFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("sub/deeper"));
    const auto write = [&](const QString& name, int size) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    };
    write(QStringLiteral("a.jpg"), 100);
    write(QStringLiteral("sub/.hidden"), 20);
    write(QStringLiteral("sub/deeper/b.jpg"), 3);
    EXPECT_EQ(FolderSize(dir.path()), 123);
    EXPECT_EQ(FileSizeOf(dir.filePath(QStringLiteral("a.jpg"))), 100);
    EXPECT_EQ(FileSizeOf(dir.filePath(QStringLiteral("none.txt"))), -1);
}

} // namespace
