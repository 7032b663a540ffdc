#include "capture/CaptureFolder.h"
#include "core/DesktopShell.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CaptureFolder, ResolvesRelativeTextsBesideTheProgram) {
    const struct {
        const char* text;
        const char* resolved;
    } cases[] = {{"", ""},
                 {"Capture", "/opt/lt/Capture"},
                 {"./pics/../Capture", "/opt/lt/Capture"},
                 {"/home/u/Capture/", "/home/u/Capture"},
                 {"/", "/"}};
    for (const auto& c : cases)
        EXPECT_EQ(CaptureFolder::resolve(QString::fromUtf8(c.text), QStringLiteral("/opt/lt")),
                  QString::fromUtf8(c.resolved))
            << c.text;
}

TEST(CaptureFolder, EmptyTextIsNeverAFolder) {
    QTemporaryDir program;
    QDir(program.path()).mkdir(QStringLiteral("Capture"));
    EXPECT_FALSE(CaptureFolder::exists(QString(), program.path()));
    EXPECT_TRUE(CaptureFolder::exists(QStringLiteral("Capture"), program.path()));
    EXPECT_FALSE(CaptureFolder::exists(QStringLiteral("Missing"), program.path()));
    EXPECT_EQ(CaptureFolder::statusText(QString(), program.path()), QString());
    EXPECT_EQ(CaptureFolder::statusText(QStringLiteral("Capture"), program.path()),
              QStringLiteral("Capture folder:  [no files]"));
}

TEST(CaptureFolder, TrailingSeparatorRemovedExceptFromRoot) {
    EXPECT_EQ(CaptureFolder::withoutTrailingSeparator(QStringLiteral("/a/b/")), "/a/b");
    EXPECT_EQ(CaptureFolder::withoutTrailingSeparator(QStringLiteral("/a/b")), "/a/b");
    EXPECT_EQ(CaptureFolder::withoutTrailingSeparator(QStringLiteral("/")), "/");
    EXPECT_EQ(CaptureFolder::withoutTrailingSeparator(QString()), QString());
}

class ChoosingShell : public DesktopShell {
public:
    QString answer, title, start;
    QString chooseFolder(QWidget*, const QString& t, const QString& s, bool) override {
        title = t;
        start = s;
        return answer;
    }
};

TEST(CaptureFolder, GetFolderKeepsTheTextOnCancel) {
    ChoosingShell shell;
    EXPECT_EQ(CaptureFolder::GetFolder(shell, nullptr, QStringLiteral("Capture"), "/opt/lt"),
              QStringLiteral("Capture"));
    EXPECT_EQ(shell.title, QStringLiteral("Select folder"));
    EXPECT_EQ(shell.start, QStringLiteral("/opt/lt/Capture"));
    shell.answer = QStringLiteral("/home/u/pics");
    EXPECT_EQ(CaptureFolder::GetFolder(shell, nullptr, QString(), "/opt/lt"),
              QStringLiteral("/home/u/pics"));
    EXPECT_EQ(shell.start, QStringLiteral("/opt/lt"));
}

} // namespace
