// Request paths resolved against a folder on disk: what the server would send, refuse or miss,
// including the decoded forms (NULs, links, a folder set through a link) HTTP tests cannot send.
#include "webserver/RequestPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
