#include "webserver/SmallFileCache.h"

#include "core/Clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <microhttpd.h>
#include <unistd.h>

namespace {

// A file that changes during every one of these reads is not sent.
constexpr int kReads = 3;

timespec later(const timespec& a, const timespec& b) {
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec) ? a : b;
}

// Whether a write after `readFrom` must give the file other times than `v` has. Writes are
// stamped with a clock of some milliseconds' grain; a file system that keeps whole seconds
// (FAT keeps two) shows no fraction, and is given two seconds.
bool settled(const SmallFileCache::Version& v, const timespec& readFrom) {
    const timespec last = later(v.modified, v.changed);
    const long long grainNs = last.tv_nsec == 0 ? 2'000'000'000LL : 100'000'000LL;
    const long long ageNs =
        (readFrom.tv_sec - last.tv_sec) * 1'000'000'000LL + (readFrom.tv_nsec - last.tv_nsec);
    return ageNs >= grainNs;
}

std::shared_ptr<const SmallFileCache::Body> makeBody(MHD_Response* r, const char* bytes,
                                                     std::size_t size,
                                                     const SmallFileCache::Version& v,
                                                     const std::string& type) {
    if (!r)
        return nullptr;
    if (MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, type.c_str()) != MHD_YES) {
        MHD_destroy_response(r);
        return nullptr;
    }
    return std::make_shared<const SmallFileCache::Body>(r, bytes, size, v, type);
}

// Takes the bytes over (malloc'ed); the response frees them when the last connection is done.
std::shared_ptr<const SmallFileCache::Body> bodyOwning(char* bytes, std::size_t size,
                                                       const SmallFileCache::Version& v,
                                                       const std::string& type) {
    MHD_Response* r = MHD_create_response_from_buffer_with_free_callback(size, bytes, &std::free);
    if (!r)
        std::free(bytes);
    return makeBody(r, bytes, size, v, type);
}

} // namespace

SmallFileCache::Version SmallFileCache::Version::of(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

bool SmallFileCache::Version::operator==(const Version& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
}

SmallFileCache::Body::Body(MHD_Response* response, const char* bytes, std::size_t size,
                           Version version, std::string type)
    : response_(response), bytes_(bytes), size_(size), version_(version), type_(std::move(type)) {}

SmallFileCache::Body::~Body() {
    MHD_destroy_response(response_); // connections still sending hold their own references
}

timespec SmallFileCache::now() const {
    timespec t{};
    if (!clock_) {
        ::clock_gettime(CLOCK_REALTIME, &t);
        return t;
    }
    const qint64 ms = clock_->now().toMSecsSinceEpoch();
    t.tv_sec = time_t(ms / 1000);
    t.tv_nsec = long(ms % 1000) * 1'000'000L;
    return t;
}

std::size_t SmallFileCache::size() const {
    std::lock_guard lock(mutex_);
    return slots_.size();
}

std::shared_ptr<const SmallFileCache::Body> SmallFileCache::find(const Version& v) {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_)
        if (slot.body->version() == v) {
            slot.lastUse = ++uses_;
            return slot.body;
        }
    return nullptr;
}

void SmallFileCache::keep(std::shared_ptr<const Body> body) {
    std::lock_guard lock(mutex_);
    const Version& v = body->version();
    auto slot = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) {
        return s.body->version().device == v.device && s.body->version().inode == v.inode;
    });
    if (slot == slots_.end()) {
        if (slots_.size() < MaxFiles)
            slot = slots_.insert(slots_.end(), Slot{});
        else
            slot = std::min_element(slots_.begin(), slots_.end(), [](const Slot& a, const Slot& b) {
                return a.lastUse < b.lastUse;
            });
    }
    slot->body = std::move(body);
    slot->lastUse = ++uses_;
}

std::shared_ptr<const SmallFileCache::Body> SmallFileCache::body(int fd, const struct stat& st,
                                                                 const std::string& type) {
    Version v = Version::of(st);
    if (std::shared_ptr<const Body> kept = find(v)) {
        if (kept->type() == type)
            return kept;
        // The same file under a name of another type: answered from a copy, not kept.
        char* copy = static_cast<char*>(std::malloc(std::max<std::size_t>(kept->size(), 1)));
        if (!copy)
            return nullptr;
        std::memcpy(copy, kept->bytes(), kept->size());
        return bodyOwning(copy, kept->size(), v, type);
    }
    for (int read = 1;; ++read) {
        const timespec readFrom = now();
        const std::size_t want = std::size_t(std::max<off_t>(v.size, 0));
        char* bytes = static_cast<char*>(std::malloc(std::max<std::size_t>(want, 1)));
        if (!bytes)
            return nullptr;
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::pread(fd, bytes + got, want - got, off_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                std::free(bytes); // unreadable: the request ends without an answer
                return nullptr;
            }
            if (n == 0)
                break; // shorter now: the check below sees it
            got += std::size_t(n);
        }
        struct stat after {};
        const bool measured = ::fstat(fd, &after) == 0;
        const bool whole = measured && got == want && Version::of(after) == v;
        if (!whole && (!measured || read == kReads || after.st_size > MaxFileBytes)) {
            std::free(bytes); // never held still: no answer rather than a mixed one
            return nullptr;
        }
        if (whole) {
            std::shared_ptr<const Body> b = bodyOwning(bytes, got, v, type);
            if (b && settled(v, readFrom))
                keep(b);
            return b;
        }
        std::free(bytes); // changed while read: once more at its new size
        v = Version::of(after);
    }
}
