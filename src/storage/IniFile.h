#pragma once
// An INI file held in memory as its lines of bytes, read and written by section and key the way
// the Windows profile functions do it: names without regard to case, absent keys give the
// caller's default, a written key replaces its line or is appended to its section.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class IniFile {
public:
    // Values are read up to this many bytes.
    static constexpr int MaxValueLength = 2047;

    enum class LoadResult { Loaded, Missing, Unreadable };

    IniFile() = default;
    // Takes the content of a file: lines end LF, CR LF or CR; leading UTF-8 byte-order marks are
    // dropped.
    explicit IniFile(const QByteArray& content);

    [[nodiscard]] LoadResult load(const QString& path);
    // The content with every line ended CR LF.
    QByteArray toBytes() const;

    bool contains(const QString& section, const QString& key) const;

    // The value's bytes exactly as stored after the first '=', cut at MaxValueLength.
    QByteArray readBytes(const QString& section, const QString& key,
                         const QByteArray& defaultValue = {}) const;
    // The value as UTF-8 text with surrounding blanks removed, cut to textWithinLimit.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    // An integer in decimal or "0x"-prefixed hexadecimal; anything else gives the default.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    // An integer, non-zero meaning true; anything else gives the default.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // A line break cannot be stored in a value: each CR or LF is written as a blank.
    void writeBytes(const QString& section, const QString& key, const QByteArray& value);
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInt(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // Parses an integer value: optional blanks, then an optional sign and decimal digits, or "0x"
    // or "0X" followed by up to eight hexadecimal digits (taken as a 32-bit pattern, so
    // 0xFFFFFFFF is -1). Out-of-range or malformed text gives nothing.
    static std::optional<int> parseInt(const QByteArray& text);

    // The bytes as UTF-8 text whose UTF-8 form takes at most MaxValueLength bytes, cut never
    // inside a character; written back and read again it stays the same.
    static QString textWithinLimit(const QByteArray& bytes);

private:
    // Index of the section's header line, or -1.
    qsizetype findSection(const QByteArray& section) const;
    // One past the section's last line (the next header or the end).
    qsizetype sectionEnd(qsizetype header) const;
    // Index of the key's line inside the section, or -1.
    qsizetype findKey(const QByteArray& section, const QByteArray& key) const;
    std::optional<QByteArray> rawValue(const QString& section, const QString& key) const;

    QList<QByteArray> lines_;
};
