#include "housekeeping/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <cstdio>

InstanceLock::InstanceLock(const QString& folder)
    : path_(fileIn(folder)), file_(std::make_unique<QLockFile>(path_)) {
    // An instance runs for weeks: only a lock whose process is gone is stale, never an old one.
    file_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::fileIn(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("lintrove5a.lock"));
}

bool InstanceLock::acquire(int waitMs) {
    if (file_->isLocked())
        return true;
    return file_->tryLock(waitMs);
}

void InstanceLock::release() {
    file_->unlock();
}

bool InstanceLock::isLocked() const {
    return file_->isLocked();
}

std::unique_ptr<InstanceLock> WaitForInstanceLock(const QString& programFolder, int waitMs) {
    auto lock = std::make_unique<InstanceLock>(programFolder);
    if (!lock->acquire(waitMs))
        std::fprintf(stderr, "lintrove5a: another instance still runs in %s; starting beside it\n",
                     qPrintable(QDir::toNativeSeparators(programFolder)));
    return lock;
}
