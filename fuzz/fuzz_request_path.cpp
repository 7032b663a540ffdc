// Request paths against a web folder with links in and out, a sibling sharing its name's start
// and a link to the folder itself. Every answer is checked against a resolver of this file that
// walks the path name by name, so an answer of Inside can never lead outside the folder.
#include "FuzzFiles.h"
#include "webserver/RequestPath.h"

#include <QDir>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Where = RequestPath::Where;

// The system's limit on links followed in one look-up.
constexpr int kMaxLinks = 40;
// Longer request paths say nothing new; the cap keeps each run short.
constexpr size_t kMaxPath = 8192;

struct Tree {
    std::string root;
    std::string folders[3]; // the folder as set: itself, through a link, a sub-folder
    std::string reals[3];
};

void makeFile(const std::string& path) {
    writeWhole(QString::fromStdString(path), "x");
}

void makeLink(const std::string& target, const std::string& at) {
    if (::symlink(target.c_str(), at.c_str()) != 0)
        fuzzFail("cannot make a link");
}

const Tree& tree() {
    static const Tree t = [] {
        Tree t;
        t.root = QDir(scratchPath("tree")).absolutePath().toStdString();
        for (const char* d : {"", "/web", "/web/sub", "/web/sub/deeper", "/web2"})
            if (!QDir().mkpath(QString::fromStdString(t.root + d)))
                fuzzFail("cannot make the tree");
        t.root = RequestPath::realPath(t.root);
        const std::string& r = t.root;
        for (const char* f : {"/web/index.htm", "/web/sub/page.htm", "/web/a b.txt", "/web/.hidden",
                              "/web2/secret.txt", "/web.txt", "/secret.txt"})
            makeFile(r + f);
        makeLink("sub/page.htm", r + "/web/in.htm");
        makeLink("sub", r + "/web/in-dir");
        makeLink(r + "/web/sub/page.htm", r + "/web/in-abs");
        makeLink(".", r + "/web/self");
        makeLink("..", r + "/web/up");
        makeLink("../secret.txt", r + "/web/out.txt");
        makeLink("../web2", r + "/web/out-dir");
        makeLink(r + "/secret.txt", r + "/web/out-abs");
        makeLink("nothing.htm", r + "/web/dangling-in");
        makeLink("../nothing", r + "/web/dangling-out");
        makeLink("loop", r + "/web/loop");
        makeLink("../../web/index.htm", r + "/web/sub/back");
        makeLink("../../web2/secret.txt", r + "/web/sub/escape");
        makeLink("..", r + "/web/sub/parent");
        makeLink("web", r + "/web-link");
        t.folders[0] = r + "/web";
        t.folders[1] = r + "/web-link";
        t.folders[2] = r + "/web/sub";
        t.reals[0] = t.reals[1] = r + "/web";
        t.reals[2] = r + "/web/sub";
        return t;
    }();
    return t;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentOf(const std::string& path) {
    const size_t cut = path.find_last_of('/');
    return cut == 0 || cut == std::string::npos ? std::string("/") : path.substr(0, cut);
}

// The real path of an absolute path, walked name by name with lstat and readlink; nothing when
// it does not exist, a name is too long or the links go round.
std::optional<std::string> walk(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    std::string rest = path, resolved = "/";
    int links = 0;
    while (!rest.empty()) {
        const size_t start = rest.find_first_not_of('/');
        if (start == std::string::npos)
            break;
        const size_t end = rest.find('/', start);
        const std::string name = rest.substr(start, end - start);
        rest = end == std::string::npos ? std::string() : rest.substr(end);
        if (name == "." || name == "..") {
            if (!isDirectory(resolved))
                return std::nullopt;
            if (name == "..")
                resolved = parentOf(resolved);
            continue;
        }
        const std::string next = (resolved == "/" ? "" : resolved) + '/' + name;
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0)
            return std::nullopt;
        if (S_ISLNK(st.st_mode)) {
            if (++links > kMaxLinks)
                return std::nullopt;
            char target[4096];
            const ssize_t n = ::readlink(next.c_str(), target, sizeof target);
            if (n <= 0 || size_t(n) >= sizeof target)
                return std::nullopt;
            const std::string to(target, size_t(n));
            if (to[0] == '/')
                resolved = "/";
            rest = to + '/' + rest;
            continue;
        }
        if (!rest.empty() && rest.find_first_not_of('/') != std::string::npos &&
            !S_ISDIR(st.st_mode))
            return std::nullopt; // a file with more names after it
        resolved = next;
    }
    return resolved;
}

bool insideOrAt(const std::string& path, const std::string& folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// The answer the walk gives for the lexical path: the path itself if it exists, else its deepest
// existing ancestor.
Where expected(const std::string& lexical, const std::string& realFolder, std::string& real) {
    real.clear();
    if (const auto r = walk(lexical)) {
        if (!insideOrAt(*r, realFolder))
            return Where::Outside;
        real = *r;
        return Where::Inside;
    }
    std::string ancestor = lexical;
    while (ancestor != "/") {
        ancestor = parentOf(ancestor);
        if (const auto r = walk(ancestor))
            return insideOrAt(*r, realFolder) ? Where::Missing : Where::Outside;
    }
    return Where::Outside;
}

void check(const std::string& folder, const std::string& realFolder, std::string_view url) {
    const RequestPath::Answer a = RequestPath::resolve(folder, realFolder, url);
    FUZZ_CHECK(a.lexical == RequestPath::normalised(folder + '/' + std::string(url)));
    FUZZ_CHECK(!a.lexical.empty() && a.lexical[0] == '/');
    if (a.where == Where::Inside) {
        // On a separator boundary: the sibling sharing the folder's first letters is not in it.
        FUZZ_CHECK(insideOrAt(a.real, realFolder));
        FUZZ_CHECK(::access(a.real.c_str(), F_OK) == 0);
    } else {
        FUZZ_CHECK(a.real.empty());
    }
    std::string real;
    const Where want = expected(a.lexical, realFolder, real);
    if (a.where == Where::Missing) // never names something that exists, inside or out
        FUZZ_CHECK(!walk(a.lexical));
    FUZZ_CHECK(a.where == want);
    FUZZ_CHECK(a.real == real);

    // The one-call open: only ever the file the walk finds inside.
    const int fd = RequestPath::openWithoutLinks(folder, realFolder, a.lexical);
    if (fd >= 0) {
        struct stat opened {
        }, walked{};
        FUZZ_CHECK(::fstat(fd, &opened) == 0);
        ::close(fd);
        FUZZ_CHECK(want == Where::Inside);
        FUZZ_CHECK(::stat(real.c_str(), &walked) == 0);
        FUZZ_CHECK(opened.st_dev == walked.st_dev && opened.st_ino == walked.st_ino);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > kMaxPath)
        return 0;
    const Tree& t = tree();
    const int which = data[0] % 3;
    const std::string_view url(reinterpret_cast<const char*>(data + 1), size - 1);
    check(t.folders[which], t.reals[which], url);
    return 0;
}
