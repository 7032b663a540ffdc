// The first bytes of a connection as the web server judges them before the library parses them.
// More bytes never make a malformed start plausible (the server answers 400 as soon as it sees
// one), empty lines in front change nothing, and a method followed by a space is never refused.
#include "FuzzFiles.h"
#include "webserver/RequestLine.h"

#include <string>

namespace {

using Verdict = RequestLine::Verdict;

// The longest start the server peeks at, and a little more.
constexpr size_t kMaxBytes = 128;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), std::min(size, kMaxBytes));
    const Verdict whole = RequestLine::judge(bytes);

    bool malformed = false;
    for (size_t n = 0; n <= bytes.size(); ++n) {
        const Verdict v = RequestLine::judge(std::string_view(bytes).substr(0, n));
        FUZZ_CHECK(!(malformed && v == Verdict::Plausible));
        malformed = malformed || v == Verdict::Malformed;
    }
    FUZZ_CHECK(malformed == (whole == Verdict::Malformed));

    FUZZ_CHECK(RequestLine::judge("\r\n" + bytes) == whole);
    FUZZ_CHECK(RequestLine::judge("\n\n" + bytes) == whole);

    const size_t space = bytes.find(' ');
    const std::string method = bytes.substr(0, space);
    if (RequestLine::isToken(method)) {
        FUZZ_CHECK(RequestLine::judge(method) == Verdict::Plausible);
        FUZZ_CHECK(RequestLine::judge(method + " /") == Verdict::Plausible);
    } else if (!method.empty() && method.find_first_of("\r\n") == std::string::npos) {
        // A first word that is not a method, on the first line: no request starts so.
        FUZZ_CHECK(RequestLine::judge(method + " /") == Verdict::Malformed);
    }
    return 0;
}
