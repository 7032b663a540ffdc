// The Line Drops window's exports: the dated names offered, the folder of the last export, and
// a failed write told with the file and the reason, leaving nothing behind.
#include "drops/DropExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

class DropExportTest : public ::testing::Test {
protected:
    DropExportTest() {
        in.router = "127.0.0.1";
        in.events = {dropBetween(at(3, 14, 0), at(3, 14, 5))};
        in.now = at(8, 9, 0);
        in.imageFolder = dir.path();
    }
    QTemporaryDir dir, start;
    DropReport::Input in;
};

TEST_F(DropExportTest, OffersDatedNamesInTheLastFolderUsed) {
    DropExport exports(start.path());
    const QDate today(2026, 12, 8);
    EXPECT_EQ(exports.suggestedPath(DropExport::Kind::Report, today),
              QDir(start.path()).filePath("Lintrove5A-drops-report-20261208.html"));
    EXPECT_EQ(exports.suggestedPath(DropExport::Kind::Csv, today),
              QDir(start.path()).filePath("Lintrove5A-drops-20261208.csv"));

    const QString report = dir.filePath("mine.html");
    const DropExport::Outcome done = exports.write(DropExport::Kind::Report, report, in);
    EXPECT_TRUE(done.written);
    EXPECT_EQ(done.text, "Report written to " + report);
    EXPECT_TRUE(QFile(report).size() > 0);
    EXPECT_EQ(exports.suggestedPath(DropExport::Kind::Csv, today),
              dir.filePath("Lintrove5A-drops-20261208.csv"));

    const QString csv = dir.filePath("mine.csv");
    EXPECT_EQ(exports.write(DropExport::Kind::Csv, csv, in).text, "CSV written to " + csv);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count('\n'), 2); // the header and the drop
}

TEST_F(DropExportTest, AFailedWriteNamesTheFileAndLeavesNothing) {
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    DropExport exports(start.path());
    for (const QString& path : {dir.filePath("no-such-folder/report.html"),
                                dir.filePath("plain/report.html"), dir.path()}) {
        for (DropExport::Kind kind : {DropExport::Kind::Report, DropExport::Kind::Csv}) {
            const DropExport::Outcome failed = exports.write(kind, path, in);
            EXPECT_FALSE(failed.written) << path.toStdString();
            EXPECT_TRUE(failed.text.contains(path)) << failed.text.toStdString();
            EXPECT_TRUE(failed.text.startsWith("The ")) << failed.text.toStdString();
            // The reason follows the name.
            EXPECT_GT(failed.text.size(), failed.text.indexOf(path) + path.size() + 3);
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
    // A failure does not move the folder offered.
    EXPECT_TRUE(
        exports.suggestedPath(DropExport::Kind::Csv, QDate(2026, 12, 8)).startsWith(start.path()));
}

} // namespace
