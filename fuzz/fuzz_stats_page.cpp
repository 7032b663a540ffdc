// Whatever the router (or something posing as it) serves instead of its statistics page: the
// reader must fill a sample of finite numbers whatever the markup, and the number helpers must
// cope with any slice of it.
#include "FuzzFiles.h"
#include "FuzzSample.h"
#include "monitor/NumberScan.h"
#include "monitor/StatsPageReader.h"

#include <QLocale>
#include <cmath>

namespace {

bool isNumberChar(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u',' || c == u'-' || c == u'.';
}

void fuzzReader(const QString& markup, const QList<QLocale>& locales) {
    // One sample across all reads, as the program keeps it from page to page.
    LineSample sample;
    int round = 0;
    for (int user1 = 0; user1 < 3; ++user1)
        for (int user2 = 0; user2 < 3; ++user2)
            for (bool logDays : {true, false}) {
                const QLocale& locale = locales[round++ % locales.size()];
                sample.reset();
                const ToolbarTexts t =
                    StatsPageReader::BTHomeHub5A(markup, user1, user2, logDays, sample, locale);
                FUZZ_CHECK(allFinite(sample));
                FUZZ_CHECK(t.uptime.isEmpty() == sample.UptimeDisplay.isEmpty());
            }
}

void fuzzNumberHelpers(QStringView text, const QList<QLocale>& locales) {
    const qsizetype slices = qMin<qsizetype>(text.size(), 48);
    for (qsizetype at = 0; at < slices; ++at) {
        const QStringView rest = text.mid(at);
        const QString number = ExtractNumber(rest);
        FUZZ_CHECK(number.size() <= 10);
        FUZZ_CHECK(rest.left(10).contains(number));
        for (QChar c : number)
            FUZZ_CHECK(isNumberChar(c));

        const QString piece = rest.left(at % 17).toString();
        for (const QLocale& locale : locales) {
            const QString grouped = AddThouSep(piece, locale);
            // Taking the separators out again gives the text back.
            const QString separator = locale.groupSeparator();
            if (!separator.isEmpty() && !piece.contains(separator)) {
                QString plain = grouped;
                plain.remove(separator);
                FUZZ_CHECK(plain == piece);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QList<QLocale> locales = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                           QLocale(QLocale::French, QLocale::France),
                                           QLocale(QLocale::German, QLocale::Switzerland)};
    const QByteArray bytes = fuzzBytes(data, size);
    for (const QString& markup : {QString::fromUtf8(bytes), QString::fromLatin1(bytes)}) {
        fuzzReader(markup, locales);
        fuzzNumberHelpers(markup, locales);
    }
    return 0;
}
