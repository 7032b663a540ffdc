#include "storage/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(IniFileRead, FindsSectionsAndKeysLikeTheProfileFunctions) {
    const struct {
        const char* content;
        const char* section;
        const char* key;
        const char* expected; // nullptr: absent, the default comes back
    } cases[] = {
        {"[A]\nx=1\n", "A", "x", "1"},
        {"[A]\r\nx=1\r\n", "A", "x", "1"},
        {"[lt-bt]\nSAMPLE=5\n", "LT-BT", "Sample", "5"},
        {"[ A ]\n  x  =  some text  \n", "A", "x", "some text"},
        {"[A]\nx=a=b[c]\n", "A", "x", "a=b[c]"},
        {"[A]\nx=\n", "A", "x", ""},
        {"x=0\n[A]\ny=1\n", "A", "x", nullptr}, // lines before the first section belong to none
        {"[A]\ny=1\n[B]\nx=2\n", "A", "x", nullptr},
        {"[A]\nx=1\nx=2\n", "A", "x", "1"},
        {"[A]\nx=1\n[A]\nx=2\n", "A", "x", "1"},
        {"[A]\n;x=1\nx 1\n", "A", "x", nullptr},
        {"\xEF\xBB\xBF[A]\nx=1\n", "A", "x", "1"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF[A]\nx=1\n", "A", "x", "1"}, // the mark doubled by an editor
        {"[A]\rx=1\ry=2\r", "A", "y", "2"},                    // lone CR line ends
        {"[A]\nx=a\rb=2\n", "A", "x", "a"},
        {"[A]\nx=1", "A", "x", "1"},
        {"", "A", "x", nullptr},
    };
    for (const auto& c : cases) {
        const IniFile ini{QByteArray(c.content)};
        const QString section = QString::fromLatin1(c.section);
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(ini.contains(section, key), c.expected != nullptr) << c.content;
        EXPECT_EQ(ini.readString(section, key, QStringLiteral("default")),
                  c.expected ? QString::fromLatin1(c.expected) : QStringLiteral("default"))
            << c.content;
    }
}

TEST(IniFileRead, IntegersInDecimalOrHexElseNothing) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"30", 30},
        {"0x1E", 30},
        {"0X1e", 30},
        {"-2", -2},
        {"+7", 7},
        {" 12 ", 12},
        {"0", 0},
        {"0x0", 0},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"12abc", std::nullopt},
        {"yes", std::nullopt},
        {"1.5", std::nullopt},
        {"0x1G", std::nullopt},
        {"0x-1", std::nullopt},
        {"0x 1", std::nullopt},
        {"-", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", -2147483647 - 1},
        {"0xFFFFFFFF", -1},
        {"0x100000000", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniFile::parseInt(QByteArray(c.text)), c.value) << c.text;
}

TEST(IniFileRead, IntegerAndBooleanKeysFallBackToTheDefault) {
    const IniFile ini{QByteArray("[A]\nn=0x10\nbad=ten\nt=2\nf=0\nyes=yes\n")};
    EXPECT_EQ(ini.readInt("A", "n", 5), 16);
    EXPECT_EQ(ini.readInt("A", "bad", 5), 5);
    EXPECT_EQ(ini.readInt("A", "missing", 5), 5);
    EXPECT_TRUE(ini.readBool("A", "t", false));
    EXPECT_FALSE(ini.readBool("A", "f", true));
    EXPECT_TRUE(ini.readBool("A", "yes", true));
    EXPECT_FALSE(ini.readBool("A", "yes", false));
    EXPECT_TRUE(ini.readBool("A", "missing", true));
}

TEST(IniFileRead, ValuesAreCutAt2047BytesButNeverInsideACharacter) {
    const QByteArray longValue(3000, 'a');
    const QByteArray split = QByteArray(2046, 'b') + "\xC3\xA9"; // "é" would straddle the cut
    const IniFile ini{"[A]\nlong=" + longValue + "\nsplit=" + split + "\n"};
    EXPECT_EQ(ini.readString("A", "long"), QString(2047, QLatin1Char('a')));
    EXPECT_EQ(ini.readBytes("A", "long"), QByteArray(2047, 'a'));
    EXPECT_EQ(ini.readString("A", "split"), QString(2046, QLatin1Char('b')));
    // Cutting on reading only: the stored line stays whole.
    EXPECT_TRUE(ini.toBytes().contains(longValue));
}

// Settings are loaded and saved again on every run, so a text read must write back as itself.
TEST(IniFileRead, TextsReadWriteBackUnchanged) {
    const struct {
        const char* name;
        QByteArray value;
    } cases[] = {
        {"a lone CR", "a\rb"},
        {"a blank where the cut falls", QByteArray(2046, 'a') + " b"},
        {"bytes that are not UTF-8", QByteArray(1000, '\xFF')},
        {"a character straddling the cut", QByteArray(2046, 'b') + "\xC3\xA9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const IniFile ini{"[A]\nx=" + c.value + "\n"};
        const QString text = ini.readString("A", "x");
        EXPECT_LE(text.toUtf8().size(), IniFile::MaxValueLength);
        IniFile written(ini);
        written.writeString("A", "x", text);
        EXPECT_EQ(IniFile(written.toBytes()).readString("A", "x"), text);
    }
}

TEST(IniFileWrite, ReplacesInPlaceOrAppendsToTheSectionOrTheFile) {
    const struct {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"replace in place", "[A]\r\nx=1\r\ny=2\r\n", "A", "x", "9", "[A]\r\nx=9\r\ny=2\r\n"},
        {"replace regardless of case", "[a]\nX = 1\n", "A", "x", "9", "[a]\r\nx=9\r\n"},
        {"append to the end of the section", "[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3",
         "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"},
        {"append to an empty section", "[A]\n[B]\n", "A", "x", "1", "[A]\r\nx=1\r\n[B]\r\n"},
        {"new section at the end", "[A]\nx=1\n", "B", "y", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
        {"new section in an empty file", "", "A", "x", "1", "[A]\r\nx=1\r\n"},
        {"other lines stay", "; note\n[A]\nloose line\nx=1\n[Z]\nq=w\n", "A", "x", "2",
         "; note\r\n[A]\r\nloose line\r\nx=2\r\n[Z]\r\nq=w\r\n"},
        {"only the first duplicate", "[A]\nx=1\nx=2\n", "A", "x", "3", "[A]\r\nx=3\r\nx=2\r\n"},
        {"line breaks in a value", "[A]\n", "A", "x", "a\r\nb", "[A]\r\nx=a  b\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini{QByteArray(c.before)};
        ini.writeBytes(QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                       QByteArray(c.value));
        EXPECT_EQ(ini.toBytes(), QByteArray(c.after)) << c.name;
    }
}

TEST(IniFileWrite, TypedValuesReadBack) {
    IniFile ini;
    ini.writeInt("A", "n", -42);
    ini.writeBool("A", "t", true);
    ini.writeBool("A", "f", false);
    ini.writeString("B", "s", QStringLiteral("päth/€"));
    EXPECT_EQ(ini.toBytes(), QByteArray("[A]\r\nn=-42\r\nt=1\r\nf=0\r\n\r\n[B]\r\ns=p\xC3\xA4th/"
                                        "\xE2\x82\xAC\r\n"));
    const IniFile reread{ini.toBytes()};
    EXPECT_EQ(reread.readInt("A", "n", 0), -42);
    EXPECT_TRUE(reread.readBool("A", "t", false));
    EXPECT_FALSE(reread.readBool("A", "f", true));
    EXPECT_EQ(reread.readString("B", "s"), QStringLiteral("päth/€"));
}

TEST(IniFileWrite, EveryByteButLineBreaksSurvivesAsRawBytes) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += char(b);
    // Blanks at both ends, '=' and brackets: the raw read must not trim or split on them.
    const QByteArray value = " =[" + all + "]= ";
    IniFile ini;
    ini.writeBytes("A", "raw", value);
    ini.writeBytes("A", "next", "1");
    const IniFile reread{ini.toBytes()};
    EXPECT_EQ(reread.readBytes("A", "raw"), value);
    EXPECT_EQ(reread.readInt("A", "next", 0), 1);
}

TEST(IniFileLoad, MissingUnreadableAndLoaded) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    IniFile ini;
    EXPECT_EQ(ini.load(dir.filePath("none.ini")), IniFile::LoadResult::Missing);
    EXPECT_EQ(ini.load(dir.path()), IniFile::LoadResult::Unreadable);

    QFile file(dir.filePath("a.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[A]\nx=1\n");
    file.close();
    EXPECT_EQ(ini.load(file.fileName()), IniFile::LoadResult::Loaded);
    EXPECT_EQ(ini.readInt("A", "x", 0), 1);
    // A failed load leaves nothing of the previous content.
    EXPECT_EQ(ini.load(dir.filePath("none.ini")), IniFile::LoadResult::Missing);
    EXPECT_FALSE(ini.contains("A", "x"));
}

} // namespace
