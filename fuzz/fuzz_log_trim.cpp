// Trimming a CSV log whatever it holds: the header pair and the newest lines come through byte
// for byte, and nothing else stays.
#include "FuzzFiles.h"
#include "storage/CsvLog.h"
#include "storage/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = scratchPath("log.txt");
    const std::vector<QByteArrayView> lines = TextLines::splitLines(bytes);
    const qsizetype count = qsizetype(lines.size());

    const int fromInput = size > 0 ? int(data[size - 1] % 16) : 5;
    for (int trimLines : {0, 1, 2, fromInput, -1, 1000}) {
        writeWhole(path, bytes);
        TrimBusy busy;
        FUZZ_CHECK(TrimLog(path, trimLines, busy));
        FUZZ_CHECK(!busy.isSet());

        const QByteArray trimmed = readWhole(path);
        const std::vector<QByteArrayView> kept = TextLines::splitLines(trimmed);
        const qsizetype header = qMin<qsizetype>(2, count);
        const qsizetype newest = qMin<qsizetype>(qMax(trimLines, 0), count - header);
        FUZZ_CHECK(qsizetype(kept.size()) == header + newest);
        for (qsizetype i = 0; i < header; ++i)
            FUZZ_CHECK(kept[size_t(i)] == lines[size_t(i)]);
        for (qsizetype i = 0; i < newest; ++i)
            FUZZ_CHECK(kept[size_t(header + i)] == lines[size_t(count - newest + i)]);
    }
    return 0;
}
