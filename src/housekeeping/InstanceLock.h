#pragma once
// The lock one instance of the program holds on its program folder while it has the data file,
// the log and the web server's port open. A restarted instance waits on it until the old one has
// let go of them.
#include <QString>
#include <memory>

class QLockFile;

class InstanceLock {
public:
    // The lock file "lintrove5a.lock" in folder (fileIn).
    explicit InstanceLock(const QString& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock, waiting at most waitMs for another instance to let it go. A lock left by an
    // instance that no longer runs is taken over at once. Returns whether this instance holds it.
    bool acquire(int waitMs);
    // Lets the lock go; also done by the destructor.
    void release();
    bool isLocked() const;
    QString path() const { return path_; }
    static QString fileIn(const QString& folder);

    // How long a restarted instance waits for the old one by default.
    static constexpr int kRestartWaitMs = 10000;

private:
    QString path_;
    std::unique_ptr<QLockFile> file_;
};

// What main() calls before it opens any file: takes the lock on the program folder, waiting for
// an instance that is ending (a restart). When another instance keeps running past the wait, the
// program starts anyway, as it always could, and says so on standard error. The returned lock is
// to be kept until the end of main().
std::unique_ptr<InstanceLock> WaitForInstanceLock(const QString& programFolder,
                                                  int waitMs = InstanceLock::kRestartWaitMs);
