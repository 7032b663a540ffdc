#pragma once
// Where a request for the web folder really leads, links resolved: to a file or folder inside it,
// to nothing inside it, or out of it. Plain file-system look-ups, no server involved.
#include <string>
#include <string_view>

class RequestPath {
public:
    enum class Where { Inside, Missing, Outside };
    struct Answer {
        Where where = Where::Outside;
        std::string lexical; // folder + url, with "." and ".." taken out as text
        std::string real;    // Inside: the real path of what was asked for
    };

    // folder: the web folder as set (absolute and clean); realFolder: its real path; url: the
    // decoded request path. A path that does not exist is judged by its deepest existing
    // ancestor, so that outside the folder the answer is the same whether or not a file exists
    // there. A NUL in the path names no file.
    static Answer resolve(const std::string& folder, const std::string& realFolder,
                          std::string_view url);

    // Opens folder + url read-only when no link lies anywhere on the way, the folder's real path
    // included: then the path alone shows that what was opened lies inside, with one system call
    // instead of a look-up per component. -1 (and errno) otherwise: a link on the way (ELOOP),
    // nothing there, a path that leaves the folder as text, or a system without the call;
    // resolve() then decides.
    static int openWithoutLinks(const std::string& folder, const std::string& realFolder,
                                const std::string& lexical);

    // "/a/./b//../c" as "/a/c"; ".." never climbs above "/".
    static std::string normalised(std::string_view path);
    // The path with every link resolved; empty if it does not exist (or cannot be resolved).
    static std::string realPath(const std::string& path);
    // True when path lies strictly inside folder, on a separator boundary, byte for byte.
    static bool inside(const std::string& path, const std::string& folder);
};
