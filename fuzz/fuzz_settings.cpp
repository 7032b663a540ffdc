// The settings file as a user might leave it after editing: the INI reader on the raw bytes, and
// a load, save and load again that must give back exactly what the first load read.
#include "FuzzFiles.h"
#include "core/FormatDateTime.h"
#include "storage/CsvLog.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include <QDateTime>
#include <QList>

namespace {

// Section and key names the program uses, a spelling in another case, and (last) none at all.
const char* const kNames[][2] = {
    {"LT-BT", "Address"},      {"LT-BT", "Password"},       {"lt-bt", "SAMPLE"},
    {"LT-BT", "C1Lx"},         {"Log", "TrimLines"},        {"Log", "TrimTime"},
    {"Capture", "DeleteTime"}, {"Advanced", "RestartTime"}, {"Advanced", "LogDateFormat"},
    {"WebServer", "Address"},  {"LT-Form", "Top"},          {"", ""},
};

struct Name {
    QString section, key;
};

// The known names and every section/key pair the text itself spells.
QList<Name> namesOf(const QByteArray& bytes) {
    QList<Name> names;
    for (const auto& n : kNames)
        names.append({QString::fromLatin1(n[0]), QString::fromLatin1(n[1])});
    QByteArray section;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            section = line.mid(1);
            section.truncate(section.indexOf(']') < 0 ? section.size() : section.indexOf(']'));
            section = section.trimmed();
        } else if (const qsizetype eq = line.indexOf('='); eq >= 0 && names.size() < 32) {
            names.append({QString::fromUtf8(section), QString::fromUtf8(line.left(eq).trimmed())});
        }
    }
    return names;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void checkReads(const IniFile& ini, const QList<Name>& names) {
    for (const Name& n : names) {
        const bool present = ini.contains(n.section, n.key);
        const QByteArray bytes = ini.readBytes(n.section, n.key, "absent");
        FUZZ_CHECK(present || bytes == "absent");
        FUZZ_CHECK(bytes.size() <= IniFile::MaxValueLength);
        const QByteArray text = ini.readString(n.section, n.key).toUtf8();
        FUZZ_CHECK(text.size() <= IniFile::MaxValueLength);
        FUZZ_CHECK(text.isEmpty() || (!isBlank(text.front()) && !isBlank(text.back())));
        const int i = ini.readInt(n.section, n.key, 7);
        FUZZ_CHECK(present || i == 7);
        ini.readBool(n.section, n.key, true);
    }
}

// What every name reads, for comparing two files.
QList<QByteArray> snapshot(const IniFile& ini, const QList<Name>& names) {
    QList<QByteArray> out;
    for (const Name& n : names)
        out.append(ini.contains(n.section, n.key) ? ini.readBytes(n.section, n.key) : "<none>");
    return out;
}

void fuzzIniFile(const QByteArray& bytes) {
    const QList<Name> names = namesOf(bytes);
    IniFile ini(bytes);
    checkReads(ini, names);
    // Writing the file out and reading it back changes no value.
    FUZZ_CHECK(snapshot(IniFile(ini.toBytes()), names) == snapshot(ini, names));

    // A written value reads back (line breaks as blanks), and only that key changes.
    const QByteArray value = bytes.left(64);
    QByteArray expected = value;
    expected.replace('\r', ' ').replace('\n', ' ');
    // Two known keys per input keep the runs quick: one picked by the input, and the address.
    const qsizetype picked = bytes.size() % (std::size(kNames) - 1);
    for (const auto* n : {kNames[picked], kNames[0]}) {
        const QString section = QString::fromLatin1(n[0]), key = QString::fromLatin1(n[1]);
        IniFile written(ini);
        written.writeBytes(section, key, value);
        FUZZ_CHECK(written.readBytes(section, key) == expected);
        FUZZ_CHECK(IniFile(written.toBytes()).readBytes(section, key) == expected);
        QList<QByteArray> before = snapshot(ini, names), after = snapshot(written, names);
        for (qsizetype i = 0; i < names.size(); ++i)
            if (names[i].section.compare(section, Qt::CaseInsensitive) != 0 ||
                names[i].key.compare(key, Qt::CaseInsensitive) != 0)
                FUZZ_CHECK(before[i] == after[i]);
    }
}

Settings startingValues() {
    return Settings::defaults(QStringLiteral("/opt/lintrove"),
                              QDateTime(QDate(2024, 3, 31), QTime(1, 30, 15)), QSize(1920, 1080));
}

// The loaded values where a log row and an image name use them.
void useLoaded(const Settings& s) {
    static const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    LineSample sample;
    sample.HasNoiseMargin = sample.HasDataRate = sample.HasUser1 = sample.HasUser2 = true;
    sample.NoiseMarginUpText = sample.NoiseMarginDownText = QStringLiteral("6.1");
    sample.DataRateUpText = sample.DataRateDownRawText = QStringLiteral("15623");
    LogLine(when, sample, s.LogDateFormat, s.LogTab);
    FormatDateTime(s.ImageDateFormat, when);
}

void fuzzSettingsRoundTrip(const QByteArray& bytes) {
    const QString path = scratchPath("lintrove5a.ini");
    writeWhole(path, bytes);
    Settings first = startingValues();
    FUZZ_CHECK(first.load(path));
    useLoaded(first);
    QString error;
    FUZZ_CHECK(first.save(path, &error));
    const QByteArray saved = readWhole(path);

    Settings second = startingValues();
    FUZZ_CHECK(second.load(path));
    if (!(second == first)) {
        std::fprintf(stderr, "saved file:\n%s\n", saved.constData());
        fuzzFail("a saved file loads back different settings");
    }
    // Saving what was loaded back leaves the file as it was.
    FUZZ_CHECK(second.save(path, &error));
    FUZZ_CHECK(readWhole(path) == saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    fuzzIniFile(bytes);
    fuzzSettingsRoundTrip(bytes);
    return 0;
}
