#pragma once
// Judges the first bytes of a request line before the HTTP library parses it: bytes that cannot
// begin a request (a TLS hello, binary noise, a line without a target) get an answer at once
// instead of holding the connection until it times out.
#include <string_view>

class RequestLine {
public:
    enum class Verdict {
        Plausible, // a method so far, or not enough bytes to tell
        Malformed, // no request starts like this
    };

    // The bytes received so far on a new connection, possibly only part of the first line.
    // Leading empty lines are allowed; then a method (a token) ends at a space.
    static Verdict judge(std::string_view firstBytes);

    // Whether text is a non-empty token: the characters a method may have.
    static bool isToken(std::string_view text);
};
