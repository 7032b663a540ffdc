// A damaged graph data-restore file: restoring delivers one sample of finite values per line,
// and a trim keeps exactly the newest lines, byte for byte, which restore again.
#include "FuzzFiles.h"
#include "FuzzSample.h"
#include "storage/DataRestoreFile.h"
#include "storage/TextLines.h"

#include <cmath>

namespace {

// Restores the file, checking every sample; returns the labels in order.
QStringList restoreChecked(const QString& path) {
    QStringList labels;
    const bool whole =
        DataRestoreFile::Restore(path, [&](const QString& label, const LineSample& sample) {
            FUZZ_CHECK(allFinite(sample));
            FUZZ_CHECK(label.endsWith(QLatin1Char(' ')));
            labels.append(label);
        });
    FUZZ_CHECK(whole);
    return labels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = scratchPath("Lintrove5A.txt");
    writeWhole(path, bytes);

    const std::vector<QByteArrayView> lines = TextLines::splitLines(bytes);
    const QStringList labels = restoreChecked(path);
    FUZZ_CHECK(labels.size() == qsizetype(lines.size()));

    // A day at one sample a day keeps `days` lines; the first byte picks how many.
    const int days = size > 0 ? int(data[0] % 8) - 1 : 3;
    const qint64 keep = DataRestoreFile::LinesToKeep(86400, days);
    TrimBusy busy;
    FUZZ_CHECK(DataRestoreFile::Trim(path, 86400, days, busy));
    FUZZ_CHECK(!busy.isSet());

    const QByteArray trimmed = readWhole(path);
    const std::vector<QByteArrayView> kept = TextLines::splitLines(trimmed);
    const qsizetype expected = qsizetype(qMin<qint64>(keep, qint64(lines.size())));
    FUZZ_CHECK(qsizetype(kept.size()) == expected);
    for (qsizetype i = 0; i < expected; ++i)
        FUZZ_CHECK(kept[size_t(i)] == lines[lines.size() - size_t(expected) + size_t(i)]);

    const QStringList labelsAfter = restoreChecked(path);
    FUZZ_CHECK(labelsAfter == labels.mid(labels.size() - expected));
    return 0;
}
