#include "webserver/RequestLine.h"

#include <cstring>

namespace {

bool isTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

} // namespace

RequestLine::Verdict RequestLine::judge(std::string_view firstBytes) {
    std::size_t i = 0;
    while (i < firstBytes.size() && (firstBytes[i] == '\r' || firstBytes[i] == '\n'))
        ++i;
    const std::size_t methodStart = i;
    while (i < firstBytes.size() && isTokenChar(firstBytes[i]))
        ++i;
    if (i == firstBytes.size())
        return Verdict::Plausible; // the method may still be arriving
    return i > methodStart && firstBytes[i] == ' ' ? Verdict::Plausible : Verdict::Malformed;
}

bool RequestLine::isToken(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}
