#include "webserver/RequestPath.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool insideOrAt(const std::string& real, const std::string& realFolder) {
    return real == realFolder || RequestPath::inside(real, realFolder);
}

} // namespace

std::string RequestPath::normalised(std::string_view path) {
    std::string out;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find('/', i);
        if (j == std::string_view::npos)
            j = path.size();
        const std::string_view part = path.substr(i, j - i);
        if (part == "..") {
            const std::size_t cut = out.find_last_of('/');
            out.resize(cut == std::string::npos ? 0 : cut);
        } else if (!part.empty() && part != ".") {
            out += '/';
            out += part;
        }
        i = j + 1;
    }
    return out.empty() ? std::string("/") : out;
}

std::string RequestPath::realPath(const std::string& path) {
    // The system call would stop at a NUL and answer for a shorter path.
    if (path.find('\0') != std::string::npos)
        return {};
    char* r = ::realpath(path.c_str(), nullptr);
    if (!r)
        return {};
    std::string out(r);
    std::free(r);
    return out;
}

int RequestPath::openWithoutLinks(const std::string& folder, const std::string& realFolder,
                                  const std::string& lexical) {
    // Kernels before 5.6 (and some sandboxes) lack the call; asked once, not per request.
    static std::atomic<bool> unsupported{false};
    if (realFolder.empty() || !inside(lexical, folder) || lexical.find('\0') != std::string::npos ||
        unsupported.load(std::memory_order_relaxed)) {
        errno = ENOENT;
        return -1;
    }
    // The part below the folder, "/" first; lexical has no "." or ".." left.
    const std::string path = (realFolder == "/" ? std::string() : realFolder) +
                             (folder == "/" ? lexical : lexical.substr(folder.size()));
    open_how how{};
    how.flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    how.resolve = RESOLVE_NO_SYMLINKS;
    const long fd = ::syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how);
    if (fd < 0 && (errno == ENOSYS || errno == E2BIG))
        unsupported.store(true, std::memory_order_relaxed);
    return int(fd);
}

bool RequestPath::inside(const std::string& path, const std::string& folder) {
    if (folder == "/")
        return !path.empty() && path[0] == '/';
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

RequestPath::Answer RequestPath::resolve(const std::string& folder, const std::string& realFolder,
                                         std::string_view url) {
    Answer a;
    // Joined as plain text, then resolved.
    std::string joined = folder;
    joined += '/';
    joined += url;
    a.lexical = normalised(joined);

    a.real = realPath(a.lexical);
    if (!a.real.empty()) {
        a.where = insideOrAt(a.real, realFolder) ? Where::Inside : Where::Outside;
        if (a.where != Where::Inside)
            a.real.clear();
        return a;
    }
    std::string ancestor = a.lexical;
    while (true) {
        const std::size_t cut = ancestor.find_last_of('/');
        if (cut == std::string::npos || ancestor == "/") {
            a.where = Where::Outside;
            return a;
        }
        ancestor.resize(cut == 0 ? 1 : cut);
        const std::string realAncestor = realPath(ancestor);
        if (!realAncestor.empty()) {
            a.where = insideOrAt(realAncestor, realFolder) ? Where::Missing : Where::Outside;
            return a;
        }
    }
}
