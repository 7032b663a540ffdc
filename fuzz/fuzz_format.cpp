// Date-time patterns as a user types them into the settings, and router number texts.
#include "FuzzFiles.h"
#include "core/FormatDateTime.h"
#include "core/NumberText.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace {

// Patterns longer than this are not worth typing; the cap keeps each run short.
constexpr qsizetype kMaxPattern = 200;

bool hasAsciiLetter(const QString& s) {
    for (QChar c : s)
        if (c.unicode() < 128 && c.isLetter())
            return true;
    return false;
}

void fuzzPattern(const QString& pattern) {
    static const QDateTime times[] = {
        QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9)),
        QDateTime(QDate(1, 1, 1), QTime(0, 0)),
        QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)),
        QDateTime(QDate(2023, 7, 2), QTime(0, 0)),
        QDateTime(QDate(12, 6, 15), QTime(12, 0, 30)),
    };
    for (const QDateTime& t : times) {
        const QString out = FormatDateTime(pattern, t);
        // Without a letter there is no token: the pattern comes out as it is.
        if (!hasAsciiLetter(pattern))
            FUZZ_CHECK(out == pattern);
    }
}

void fuzzNumber(const QString& text) {
    double value = -1;
    const bool ok = TryParseRouterNumber(text, value);
    const double plain = ParseRouterNumber(text);
    if (ok) {
        FUZZ_CHECK(std::isfinite(value));
        FUZZ_CHECK(plain == value);
        FormatHashes(value);
        FormatHashes(value, QLocale(QLocale::German, QLocale::Germany));
    } else {
        FUZZ_CHECK(value == -1);
        FUZZ_CHECK(plain == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString utf8 = QString::fromUtf8(bytes);
    fuzzPattern(utf8.left(kMaxPattern));
    fuzzPattern(QString::fromLatin1(bytes.left(kMaxPattern)));
    fuzzNumber(utf8);
    fuzzNumber(QString::fromLatin1(bytes));
    return 0;
}
