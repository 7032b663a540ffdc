#pragma once
// Answers for the small files the server sends (the web image above all), kept per version of
// each file so that a file asked for again and again is read once per version instead of once
// per request. A version is what fstat tells apart: device, inode, size, modification and change
// times, checked on every request. Used by the request threads at once.
#include <cstddef>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

class Clock;
struct MHD_Response;

class SmallFileCache {
public:
    static constexpr off_t MaxFileBytes = 64 * 1024;
    static constexpr std::size_t MaxFiles = 8;

    struct Version {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{}, changed{};
        static Version of(const struct stat& st);
        bool operator==(const Version& o) const;
    };

    // One version of one file, ready to queue: a response holding the bytes and the content
    // type. Stays valid while held, whatever the cache does meanwhile.
    class Body {
    public:
        Body(MHD_Response* response, const char* bytes, std::size_t size, Version version,
             std::string type);
        ~Body();
        Body(const Body&) = delete;
        Body& operator=(const Body&) = delete;
        MHD_Response* response() const { return response_; }
        std::size_t size() const { return size_; }
        const Version& version() const { return version_; }
        const std::string& type() const { return type_; }
        const char* bytes() const { return bytes_; }

    private:
        MHD_Response* response_;
        const char* bytes_; // owned by the response
        std::size_t size_;
        Version version_;
        std::string type_;
    };

    // clock: the real time that file times are compared with; nullptr: the system's.
    explicit SmallFileCache(const Clock* clock = nullptr) : clock_(clock) {}
    SmallFileCache(const SmallFileCache&) = delete;
    SmallFileCache& operator=(const SmallFileCache&) = delete;

    // The answer for the regular file open at fd, no larger than MaxFileBytes, whose fstat gave
    // st: the kept one when this version is there, else read now. The bytes of one answer always
    // match its length, and are one version of the file unless it changed during every one of a
    // few reads. A version is kept once it is old enough that any later write must change its
    // times (file systems stamp writes with a coarse clock). nullptr when the file cannot be read
    // or memory runs out.
    std::shared_ptr<const Body> body(int fd, const struct stat& st, const std::string& type);

    // Versions kept now.
    std::size_t size() const;

private:
    std::shared_ptr<const Body> find(const Version& v);
    void keep(std::shared_ptr<const Body> body);

    timespec now() const;

    const Clock* clock_;
    mutable std::mutex mutex_;
    struct Slot {
        std::shared_ptr<const Body> body;
        unsigned long long lastUse = 0;
    };
    std::vector<Slot> slots_;
    unsigned long long uses_ = 0;
};
