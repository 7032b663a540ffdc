// Where the program keeps its files: LINTROVE_HOME, the executable's folder, or the user's data
// folder for an installed copy and one that cannot write beside itself.
#include "core/ProgramPaths.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(ProgramPaths, UserDataFolderFollowsTheXdgRules) {
    struct Case {
        const char* xdgDataHome;
        const char* expected;
    };
    const Case cases[] = {
        {"/srv/data", "/srv/data/lintrove5a"},           {"/srv/data/", "/srv/data/lintrove5a"},
        {"", "/home/ann/.local/share/lintrove5a"},       // unset or empty
        {"data", "/home/ann/.local/share/lintrove5a"},   // relative: ignored
        {"./data", "/home/ann/.local/share/lintrove5a"}, // relative: ignored
        {"~/data", "/home/ann/.local/share/lintrove5a"}, // no shell here: relative too
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgramPaths::userDataFolder(QString::fromUtf8(c.xdgDataHome), "/home/ann"),
                  c.expected)
            << "XDG_DATA_HOME=" << c.xdgDataHome;
}

// A fake installation: <prefix>/bin and, unless told otherwise, the installed help document.
class ProgramPathsLayout : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefix.isValid());
        ASSERT_TRUE(QDir().mkpath(bin()));
        ASSERT_TRUE(QDir().mkpath(prefix.filePath("share/doc/lintrove5a")));
    }
    QString bin() const { return prefix.filePath("bin"); }
    QString doc() const { return prefix.filePath("share/doc/lintrove5a/lintrove5a.html"); }
    ProgramPaths::Environment environment() const {
        return {{}, bin(), prefix.filePath("data"), prefix.filePath("home")};
    }
    QTemporaryDir prefix;
};

TEST_F(ProgramPathsLayout, TheInstalledHelpDocumentIsFoundFromTheProgramsFolder) {
    EXPECT_TRUE(ProgramPaths::installedHelpFile(bin()).isEmpty()) << "no document yet";
    writeFile(doc(), "<html></html>");
    EXPECT_EQ(ProgramPaths::installedHelpFile(bin()), doc());
    EXPECT_EQ(ProgramPaths::installedHelpFile(bin() + "/"), doc());
    // A copy run from anywhere else (a build tree) has none and writes its own.
    EXPECT_TRUE(ProgramPaths::installedHelpFile(prefix.path()).isEmpty());
    EXPECT_TRUE(ProgramPaths::installedHelpFile(QString()).isEmpty());
}

// Holds for root too, who can write into any folder: an installed copy is known by its layout.
TEST_F(ProgramPathsLayout, AnInstalledCopyKeepsItsFilesInTheUsersDataFolder) {
    writeFile(doc(), "<html></html>");
    EXPECT_EQ(ProgramPaths::programFolder(environment()), prefix.filePath("data/lintrove5a"));
    auto relative = environment();
    relative.xdgDataHome = "data";
    EXPECT_EQ(ProgramPaths::programFolder(relative),
              prefix.filePath("home/.local/share/lintrove5a"));
}

TEST_F(ProgramPathsLayout, LintroveHomeWinsAndACopyOfItsOwnWritesBesideItself) {
    writeFile(doc(), "<html></html>");
    auto withHome = environment();
    withHome.lintroveHome = prefix.filePath("mine/../mine2");
    EXPECT_EQ(ProgramPaths::programFolder(withHome), prefix.filePath("mine2"));

    QFile::remove(doc()); // not installed: a folder of its own
    EXPECT_EQ(ProgramPaths::programFolder(environment()), bin());
}

TEST_F(ProgramPathsLayout, ACopyThatCannotWriteBesideItselfUsesTheUsersDataFolder) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the installed layout above covers it";
    ASSERT_TRUE(QFile::setPermissions(bin(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(ProgramPaths::programFolder(environment()), prefix.filePath("data/lintrove5a"));
    QFile::setPermissions(bin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
