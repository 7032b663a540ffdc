// Request paths resolved against a folder on disk: what the server would send, refuse or miss,
// including the decoded forms (NULs, links, a folder set through a link) HTTP tests cannot send.
#include "webserver/RequestPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Where = RequestPath::Where;

void writeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("x");
}

// <tmp>/web served, reached also through <tmp>/web-link; secrets beside it and behind links.
class RequestPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = QFileInfo(tmp.path()).canonicalFilePath().toStdString();
        const QString r = QString::fromStdString(root);
        writeFile(r + "/web/index.htm");
        writeFile(r + "/web/sub/page.htm");
        writeFile(r + "/secret.txt");
        writeFile(r + "/web2/secret.txt");
        ASSERT_TRUE(QFile::link(r + "/web", r + "/web-link"));
        ASSERT_TRUE(QFile::link(r + "/secret.txt", r + "/web/out.txt"));
        ASSERT_TRUE(QFile::link("sub/page.htm", r + "/web/in.htm"));
        ASSERT_TRUE(QFile::link("../web2", r + "/web/sibling"));
        ASSERT_TRUE(QFile::link("loop", r + "/web/loop"));
    }

    QTemporaryDir tmp;
    std::string root;
};

TEST_F(RequestPathTest, AnswersInsideMissingOrOutsideForTheFolderAsSetAndThroughALink) {
    struct Case {
        std::string url;
        Where where;
        std::string real; // relative to root; Inside only
    };
    const Case cases[] = {
        {"/index.htm", Where::Inside, "/web/index.htm"},
        {"/", Where::Inside, "/web"},
        {"/sub/../sub/./page.htm", Where::Inside, "/web/sub/page.htm"},
        {"/in.htm", Where::Inside, "/web/sub/page.htm"},
        {"/../../../../secret.txt", Where::Outside, ""},
        {"/../secret.txt", Where::Outside, ""},
        {"/../nothing", Where::Outside, ""}, // outside whether or not a file exists there
        {"/../web2/secret.txt", Where::Outside, ""},
        {"/out.txt", Where::Outside, ""},
        {"/sibling/secret.txt", Where::Outside, ""},
        {"/sibling/nothing", Where::Outside, ""},
        {"/nothing.htm", Where::Missing, ""},
        {"/index.htm/more", Where::Missing, ""},
        {"/loop", Where::Missing, ""},
        {"/..\\secret.txt", Where::Missing, ""},
        {std::string("/index.htm\0.txt", 15), Where::Missing, ""},
        {std::string("/\0/../../secret.txt", 19), Where::Outside, ""},
        {std::string("/sub\0/../../secret.txt", 22), Where::Outside, ""},
        {std::string("/../web2\0/secret.txt", 20), Where::Outside, ""},
        {"/" + std::string(5000, 'a') + "/../../secret.txt", Where::Outside, ""},
        {"/" + std::string(5000, 'a'), Where::Missing, ""},
    };
    const std::string real = root + "/web";
    for (const std::string& folder : {root + "/web", root + "/web-link"})
        for (const Case& c : cases) {
            SCOPED_TRACE(folder + " " + c.url);
            const RequestPath::Answer a = RequestPath::resolve(folder, real, c.url);
            EXPECT_EQ(a.where, c.where);
            EXPECT_EQ(a.real, c.where == Where::Inside ? root + c.real : std::string());
        }
}

// The one-call open may only succeed where no link lies on the way, so that the path proves the
// file is inside; everything else is left to resolve() (-1).
TEST_F(RequestPathTest, OpensDirectlyOnlyAPathWithoutLinks) {
    struct Case {
        std::string url;
        std::string opens; // relative to root; empty: -1
    };
    const Case cases[] = {
        {"/index.htm", "/web/index.htm"},
        {"/sub/./page.htm", "/web/sub/page.htm"},
        {"/sub", "/web/sub"}, // a folder opens; the server refuses what is not a file
        {"/in.htm", ""},      // a link inside the folder still goes the long way
        {"/out.txt", ""},
        {"/sibling/secret.txt", ""},
        {"/loop", ""},
        {"/nothing.htm", ""},
        {"/", ""},
        {"/../secret.txt", ""},
        {"/../web2/secret.txt", ""},
        {std::string("/index.htm\0.txt", 15), ""},
    };
    const std::string real = root + "/web";
    for (const std::string& folder : {root + "/web", root + "/web-link"})
        for (const Case& c : cases) {
            SCOPED_TRACE(folder + " " + c.url);
            const std::string lexical = RequestPath::normalised(folder + '/' + c.url);
            const int fd = RequestPath::openWithoutLinks(folder, real, lexical);
            if (c.opens.empty()) {
                EXPECT_EQ(fd, -1);
                continue;
            }
            ASSERT_GE(fd, 0);
            struct stat opened {
            }, want{};
            ASSERT_EQ(::fstat(fd, &opened), 0);
            ::close(fd);
            ASSERT_EQ(::stat((root + c.opens).c_str(), &want), 0);
            EXPECT_EQ(opened.st_ino, want.st_ino);
        }
    // A folder whose real path has become a link since it was resolved: not opened here.
    const std::string lexical = root + "/web-link/index.htm";
    EXPECT_EQ(RequestPath::openWithoutLinks(root + "/web-link", root + "/web-link", lexical), -1);
}

TEST(RequestPathText, NormalisesWithoutClimbingAboveTheRootAndComparesOnSeparators) {
    EXPECT_EQ(RequestPath::normalised("/a/./b//../c"), "/a/c");
    EXPECT_EQ(RequestPath::normalised("/../../x"), "/x");
    EXPECT_EQ(RequestPath::normalised("/a/.."), "/");
    EXPECT_EQ(RequestPath::normalised(""), "/");
    EXPECT_EQ(RequestPath::normalised("/a/.../b"), "/a/.../b");

    EXPECT_TRUE(RequestPath::inside("/srv/web/a", "/srv/web"));
    EXPECT_FALSE(RequestPath::inside("/srv/web", "/srv/web"));
    EXPECT_FALSE(RequestPath::inside("/srv/web2/a", "/srv/web"));
    EXPECT_FALSE(RequestPath::inside("/srv/WEB/a", "/srv/web"));
    EXPECT_TRUE(RequestPath::inside("/anything", "/"));
    EXPECT_EQ(RequestPath::realPath(std::string("/\0etc", 5)), "");
}

} // namespace
