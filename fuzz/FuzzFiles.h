#pragma once
// Helpers shared by the fuzz targets: the input as bytes, a scratch folder made once per process,
// whole-file writes and reads, and a stop that keeps the input when a property fails.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The folder lives as long as the process; each input overwrites the files in it.
inline QString scratchPath(const char* fileName) {
    static QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no scratch folder\n");
        std::abort();
    }
    return dir.filePath(QString::fromLatin1(fileName));
}

inline void writeWhole(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

inline QByteArray readWhole(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::abort();
    }
    return f.readAll();
}

// A broken property: says which, then aborts so that libFuzzer saves the input.
[[noreturn]] inline void fuzzFail(const char* what) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            fuzzFail(#cond);                                                                       \
    } while (0)
