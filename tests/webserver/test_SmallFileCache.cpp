// The versions of small files kept in memory: which reads are kept, and that a version told
// apart by any one of its parts is never answered with the kept one. Measurements a kernel with a
// coarse file clock would give are made up here, where this kernel's clock is too fine to show
// them.
#include "FakeClock.h"
#include "webserver/SmallFileCache.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SmallFileCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        file = QFile::encodeName(tmp.path() + "/noise.jpg").toStdString();
        write(std::string(1000, 'a'));
    }
    void TearDown() override {
        if (fd >= 0)
            ::close(fd);
    }

    // Rewrites the file in place and opens it again.
    void write(const std::string& bytes) {
        const int w = ::open(file.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(w, 0);
        ASSERT_EQ(::pwrite(w, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
        ASSERT_EQ(::ftruncate(w, off_t(bytes.size())), 0);
        ::close(w);
        if (fd >= 0)
            ::close(fd);
        fd = ::open(file.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::fstat(fd, &st), 0);
    }
    std::string served(SmallFileCache& cache, const struct stat& measured) const {
        const auto body = cache.body(fd, measured, "image/jpeg");
        return body ? std::string(body->bytes(), body->size()) : "(no answer)";
    }
    // The clock `ms` after the file's last change.
    QDateTime afterChange(qint64 ms) const {
        const timespec& t =
            st.st_ctim.tv_sec > st.st_mtim.tv_sec || (st.st_ctim.tv_sec == st.st_mtim.tv_sec &&
                                                      st.st_ctim.tv_nsec > st.st_mtim.tv_nsec)
                ? st.st_ctim
                : st.st_mtim;
        return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000 + ms);
    }

    QTemporaryDir tmp;
    std::string file;
    int fd = -1;
    struct stat st {};
};

// A later write must give the file other times than the kept version has; the file clock ticks
// in milliseconds, so a version is kept only once it is a tenth of a second old.
TEST_F(SmallFileCacheTest, KeepsAVersionOnlyOnceItIsOldEnough) {
    struct Case {
        qint64 ageMs;
        bool timeSetBack; // modification time put back a day, as copying with times does
        bool kept;
    };
    const Case cases[] = {
        {-5000, false, false}, {0, false, false},        {50, false, false},
        {98, false, false},    {101, false, true},       {86'400'000, false, true},
        {50, true, false},     {86'400'000, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ageMs) + (c.timeSetBack ? " set back" : ""));
        write(std::string(1000, 'a'));
        if (c.timeSetBack) {
            const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec - 86400, 0}};
            ASSERT_EQ(::futimens(fd, times), 0);
            ASSERT_EQ(::fstat(fd, &st), 0);
        }
        FakeClock clock(afterChange(c.ageMs));
        SmallFileCache cache(&clock);
        EXPECT_EQ(served(cache, st), std::string(1000, 'a'));
        EXPECT_EQ(cache.size(), c.kept ? 1u : 0u);
    }
}

// The file is rewritten in place at the same size after its version was kept. Each case is what
// the measuring could show on a kernel whose file clock did not move: the kept version with one
// part different. None of them may be answered with the kept bytes.
TEST_F(SmallFileCacheTest, AVersionDifferingInAnyPartIsReadAgain) {
    struct Case {
        const char* part;
        std::function<void(struct stat&)> change;
    };
    const Case cases[] = {
        {"size", [](struct stat& s) { s.st_size += 1; }},
        {"modification time", [](struct stat& s) { s.st_mtim.tv_nsec ^= 1; }},
        {"change time", [](struct stat& s) { s.st_ctim.tv_nsec ^= 1; }},
        {"inode", [](struct stat& s) { s.st_ino += 1; }},
        {"device", [](struct stat& s) { s.st_dev += 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        write(std::string(1000, 'a'));
        FakeClock dayAhead(afterChange(86'400'000));
        SmallFileCache cache(&dayAhead);
        ASSERT_EQ(served(cache, st), std::string(1000, 'a'));
        ASSERT_EQ(cache.size(), 1u);
        struct stat measured = st;
        write(std::string(1000, 'b'));
        c.change(measured);
        EXPECT_EQ(served(cache, measured), std::string(1000, 'b'));
    }
}

// The file grew between the open's measuring and the read: it goes out whole at its new size,
// not cut at the size measured first.
TEST_F(SmallFileCacheTest, FileGrownSinceItWasMeasuredIsSentWhole) {
    const struct stat before = st;
    write(std::string(3000, 'g'));
    struct stat measured = st;
    measured.st_size = before.st_size;
    SmallFileCache cache;
    EXPECT_EQ(served(cache, measured), std::string(3000, 'g'));
}

} // namespace
