// A plain main for the fuzz targets where libFuzzer is not at hand (gcc builds, the test run):
// runs every seed file, then a bounded number of seeds changed at random (bytes flipped,
// inserted, removed, dictionary words put in, two seeds spliced). The same -seed gives the same
// inputs. A failed property aborts, which fails the run; the input is saved to crash-driver-*.
//
//   fuzz_x [-runs=N] [-max_total_time=S] [-seed=N] [-dict=FILE] [-max_len=N] DIR|FILE...
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

using Bytes = std::vector<uint8_t>;

// The input being run, kept for the abort handler.
const Bytes* current = nullptr;

void saveCurrent(int) {
    if (current) {
        if (FILE* f = std::fopen("crash-driver-input", "wb")) {
            std::fwrite(current->data(), 1, current->size(), f);
            std::fclose(f);
            std::fputs("input saved to crash-driver-input\n", stderr);
        }
    }
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The quoted words of a libFuzzer dictionary, escapes (\\, \", \xNN) undone.
std::vector<Bytes> readDictionary(const char* path) {
    std::vector<Bytes> words;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t open = line.find('"');
        const size_t close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open)
            continue;
        Bytes word;
        for (size_t i = open + 1; i < close; ++i) {
            if (line[i] == '\\' && i + 1 < close) {
                if (line[i + 1] == 'x' && i + 3 < close && hexDigit(line[i + 2]) >= 0 &&
                    hexDigit(line[i + 3]) >= 0) {
                    word.push_back(uint8_t(hexDigit(line[i + 2]) * 16 + hexDigit(line[i + 3])));
                    i += 3;
                    continue;
                }
                ++i;
            }
            word.push_back(uint8_t(line[i]));
        }
        words.push_back(word);
    }
    return words;
}

Bytes mutated(const std::vector<Bytes>& seeds, const std::vector<Bytes>& words, size_t maxLen,
              std::mt19937& rng) {
    auto below = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    Bytes b = seeds[below(seeds.size())];
    for (size_t changes = 1 + below(8); changes > 0; --changes) {
        const size_t at = below(b.size() + 1);
        switch (below(6)) {
        case 0:
            if (at < b.size())
                b[at] ^= uint8_t(1u << below(8));
            break;
        case 1:
            if (at < b.size())
                b[at] = uint8_t(rng());
            break;
        case 2:
            b.insert(b.begin() + long(at), uint8_t(rng()));
            break;
        case 3:
            if (at < b.size())
                b.erase(b.begin() + long(at),
                        b.begin() + long(std::min(b.size(), at + 1 + below(8))));
            break;
        case 4:
            if (!words.empty()) {
                const Bytes& w = words[below(words.size())];
                b.insert(b.begin() + long(at), w.begin(), w.end());
            }
            break;
        default: {
            const Bytes& other = seeds[below(seeds.size())];
            const size_t from = below(other.size());
            b.resize(at);
            b.insert(b.end(), other.begin() + long(from), other.end());
        }
        }
    }
    if (b.size() > maxLen)
        b.resize(maxLen);
    return b;
}

} // namespace

int main(int argc, char** argv) {
    long runs = 1000, seconds = 20, maxLen = 4096;
    unsigned seed = 1;
    std::vector<Bytes> words;
    std::vector<Bytes> seeds;
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) {
            return std::strtol(a.c_str() + std::strlen(name), nullptr, 10);
        };
        if (a.rfind("-runs=", 0) == 0)
            runs = value("-runs=");
        else if (a.rfind("-max_total_time=", 0) == 0)
            seconds = value("-max_total_time=");
        else if (a.rfind("-seed=", 0) == 0)
            seed = unsigned(value("-seed="));
        else if (a.rfind("-max_len=", 0) == 0)
            maxLen = value("-max_len=");
        else if (a.rfind("-dict=", 0) == 0)
            words = readDictionary(a.c_str() + 6);
        else if (a.rfind("-", 0) == 0)
            std::fprintf(stderr, "option ignored: %s\n", a.c_str());
        else if (std::filesystem::is_directory(a)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(a))
                if (e.is_regular_file())
                    files.push_back(e.path());
            std::sort(files.begin(), files.end()); // the same order, so the same inputs
            for (const auto& f : files)
                seeds.push_back(readFile(f));
        } else {
            seeds.push_back(readFile(a));
        }
    }
    std::signal(SIGABRT, saveCurrent);
    for (const Bytes& s : seeds) {
        current = &s;
        LLVMFuzzerTestOneInput(s.data(), s.size());
    }
    if (seeds.empty())
        seeds.push_back(Bytes());
    std::mt19937 rng(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long done = 0;
    for (; done < runs && std::chrono::steady_clock::now() < end; ++done) {
        const Bytes input = mutated(seeds, words, size_t(maxLen), rng);
        current = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    current = nullptr;
    std::printf("%zu seeds and %ld changed inputs ran without a failure\n", seeds.size(), done);
    return 0;
}
