#include "storage/IniFile.h"

#include <QFile>
#include <cctype>
#include <limits>

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool isHeader(const QByteArray& line) {
    return line.trimmed().startsWith('[');
}

QByteArray headerName(const QByteArray& line) {
    QByteArray name = line.trimmed().mid(1);
    const qsizetype close = name.indexOf(']');
    if (close >= 0)
        name.truncate(close);
    return name.trimmed();
}

bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Cuts UTF-8 text to at most max bytes without splitting a character.
QByteArray cutUtf8(QByteArray bytes, qsizetype max) {
    if (bytes.size() <= max)
        return bytes;
    qsizetype end = max;
    // Step back over continuation bytes so that the cut falls before a lead byte.
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

} // namespace

IniFile::IniFile(const QByteArray& content) {
    QByteArray text = content;
    // All of a repeated mark goes: left in the first line, it would be dropped on the next load
    // of the saved file, changing what that line reads as.
    while (text.startsWith(kByteOrderMark))
        text.remove(0, kByteOrderMark.size());
    // A lone CR breaks the line as well: a value read must never hold a line break, which the
    // writer could not store.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        lines_.append(text.mid(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        // A final line break ends the last line rather than starting an empty one.
        start = end + 1;
    }
}

IniFile::LoadResult IniFile::load(const QString& path) {
    lines_.clear();
    QFile file(path);
    if (!file.exists())
        return LoadResult::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Unreadable;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return LoadResult::Unreadable;
    *this = IniFile(content);
    return LoadResult::Loaded;
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    for (const QByteArray& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

qsizetype IniFile::findSection(const QByteArray& section) const {
    for (qsizetype i = 0; i < lines_.size(); ++i)
        if (isHeader(lines_[i]) && sameName(headerName(lines_[i]), section))
            return i;
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < lines_.size() && !isHeader(lines_[i]))
        ++i;
    return i;
}

qsizetype IniFile::findKey(const QByteArray& section, const QByteArray& key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return -1;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const qsizetype eq = lines_[i].indexOf('=');
        if (eq >= 0 && sameName(lines_[i].left(eq).trimmed(), key))
            return i;
    }
    return -1;
}

std::optional<QByteArray> IniFile::rawValue(const QString& section, const QString& key) const {
    const qsizetype i = findKey(section.toUtf8(), key.toUtf8());
    if (i < 0)
        return std::nullopt;
    return lines_[i].mid(lines_[i].indexOf('=') + 1);
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return rawValue(section, key).has_value();
}

QByteArray IniFile::readBytes(const QString& section, const QString& key,
                              const QByteArray& defaultValue) const {
    const auto value = rawValue(section, key);
    return value ? value->left(MaxValueLength) : defaultValue;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const auto value = rawValue(section, key);
    if (!value)
        return defaultValue;
    return textWithinLimit(value->trimmed()).trimmed();
}

QString IniFile::textWithinLimit(const QByteArray& bytes) {
    // Measured on the text as it will be written back: each invalid byte becomes a three-byte
    // replacement character, so cutting the raw bytes could leave a text too long to read back.
    return QString::fromUtf8(cutUtf8(QString::fromUtf8(bytes).toUtf8(), MaxValueLength));
}

int IniFile::readInt(const QString& section, const QString& key, int defaultValue) const {
    const auto value = rawValue(section, key);
    if (!value)
        return defaultValue;
    return parseInt(value->left(MaxValueLength)).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    const auto value = rawValue(section, key);
    if (!value)
        return defaultValue;
    const auto number = parseInt(value->left(MaxValueLength));
    return number ? *number != 0 : defaultValue;
}

std::optional<int> IniFile::parseInt(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        if (t.size() > 10)
            return std::nullopt;
        bool ok = false;
        const uint value = t.mid(2).toUInt(&ok, 16);
        // toUInt would also take a sign or blanks after the prefix; only digits are allowed.
        for (qsizetype i = 2; ok && i < t.size(); ++i)
            ok = std::isxdigit(static_cast<unsigned char>(t[i]));
        if (!ok)
            return std::nullopt;
        return static_cast<int>(value);
    }
    qsizetype i = (t.startsWith('-') || t.startsWith('+')) ? 1 : 0;
    if (i == t.size())
        return std::nullopt;
    for (; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9')
            return std::nullopt;
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

void IniFile::writeBytes(const QString& section, const QString& key, const QByteArray& value) {
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    QByteArray line = keyName + '=' + value;
    line.replace('\r', ' ').replace('\n', ' ');

    if (const qsizetype i = findKey(sectionName, keyName); i >= 0) {
        lines_[i] = line;
        return;
    }
    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        // A new section goes at the end, set off from the one before by a blank line.
        if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty())
            lines_.append(QByteArray());
        lines_.append('[' + sectionName + ']');
        lines_.append(line);
        return;
    }
    // After the section's last non-blank line, so that blank lines before the next section stay
    // where they are.
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && lines_[at - 1].trimmed().isEmpty())
        --at;
    lines_.insert(at, line);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    writeBytes(section, key, value.toUtf8());
}

void IniFile::writeInt(const QString& section, const QString& key, int value) {
    writeBytes(section, key, QByteArray::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeBytes(section, key, value ? "1" : "0");
}
