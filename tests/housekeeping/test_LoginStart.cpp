// The autostart entry: where it lives, what it runs, and that it is written whole or not at all.
#include "housekeeping/LoginStart.h"

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The entry read back as a desktop would read it: the keys of [Desktop Entry], and Exec taken
// apart into the program and its arguments (string escapes first, then "%%", then the quoting).
struct ReadEntry {
    QString firstLine;
    QHash<QString, QString> keys;
    QStringList exec;
};

QString unescapeString(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (next == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else
            out += next;
    }
    return out;
}

QStringList splitExec(const QString& value) {
    const QString text = unescapeString(value).replace(QStringLiteral("%%"), QStringLiteral("%"));
    QStringList arguments;
    QString current;
    bool inQuotes = false, started = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < text.size())
                current += text[++i];
            else if (c == QLatin1Char('"'))
                inQuotes = false;
            else
                current += c;
        } else if (c == QLatin1Char(' ')) {
            if (started)
                arguments << current;
            current.clear();
            started = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = started = true;
        } else {
            current += c;
            started = true;
        }
    }
    if (started)
        arguments << current;
    return arguments;
}

ReadEntry readEntry(const QString& path) {
    ReadEntry entry;
    const QStringList lines = QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'));
    entry.firstLine = lines.value(0);
    for (const QString& line : lines.mid(1)) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            entry.keys.insert(line.left(equals), line.mid(equals + 1));
    }
    entry.exec = splitExec(entry.keys.value(QStringLiteral("Exec")));
    return entry;
}

TEST(LoginStart, EntryPathFollowsTheBaseDirectoryRules) {
    const struct {
        const char* xdgConfigHome;
        const char* expected;
    } cases[] = {
        {"/srv/cfg", "/srv/cfg/autostart/lintrove5a.desktop"},
        {"/srv/cfg/", "/srv/cfg/autostart/lintrove5a.desktop"},
        {"", "/home/ann/.config/autostart/lintrove5a.desktop"},
        {"cfg", "/home/ann/.config/autostart/lintrove5a.desktop"}, // relative: ignored
        {"./cfg", "/home/ann/.config/autostart/lintrove5a.desktop"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoginStart::entryPath(QString::fromUtf8(c.xdgConfigHome), "/home/ann"),
                  QString::fromUtf8(c.expected))
            << c.xdgConfigHome;
}

// The program folder comes up at login as it was: named in the command only when the executable
// would not find it by itself.
TEST(LoginStart, CommandCarriesAProgramFolderTheExecutableWouldNotPick) {
    const struct {
        const char* programFolder;
        const char* pickedAlone;
        QStringList expected;
    } cases[] = {
        {"/opt/lt", "/opt/lt", {"/opt/lt/lintrove5a"}},
        {"/opt/lt/", "/opt/lt", {"/opt/lt/lintrove5a"}},
        {"/tmp/my home", "/opt/lt", {"env", "LINTROVE_HOME=/tmp/my home", "/opt/lt/lintrove5a"}},
        {"/home/ann/.local/share/lintrove5a",
         "/home/ann/.local/share/lintrove5a",
         {"/opt/lt/lintrove5a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoginStart::command("/opt/lt/lintrove5a", QString::fromUtf8(c.programFolder),
                                      QString::fromUtf8(c.pickedAlone)),
                  c.expected)
            << c.programFolder;
}

TEST(LoginStart, ExecQuotesWhatTheEntryRulesReserveAndReadsBackTheSame) {
    const struct {
        QStringList command;
        const char* exec;
    } cases[] = {
        {{"/usr/bin/lintrove5a"}, "/usr/bin/lintrove5a"},
        {{"/opt/my apps/lintrove5a"}, "\"/opt/my apps/lintrove5a\""},
        {{"/opt/50%/lintrove5a"}, "/opt/50%%/lintrove5a"},
        {{"/opt/it's/lt"}, "\"/opt/it's/lt\""},
        // Inside quotes ", `, $ and \ take a backslash; the file's string escapes then double
        // every backslash.
        {{"/opt/a\"b/lt"}, "\"/opt/a\\\\\"b/lt\""},
        {{"/opt/$HOME/lt"}, "\"/opt/\\\\$HOME/lt\""},
        {{"/opt/back\\slash/lt"}, "\"/opt/back\\\\\\\\slash/lt\""},
        {{"/opt/`x`/lt"}, "\"/opt/\\\\`x\\\\`/lt\""},
        {{"env", "LINTROVE_HOME=/tmp/a b", "/opt/lt/lintrove5a"},
         "env \"LINTROVE_HOME=/tmp/a b\" /opt/lt/lintrove5a"},
    };
    for (const auto& c : cases) {
        const QString exec = LoginStart::execValue(c.command);
        EXPECT_EQ(exec, QString::fromUtf8(c.exec)) << c.command.join('|').toStdString();
        EXPECT_EQ(splitExec(exec), c.command) << exec.toStdString();
    }
    // Characters that would break the line or the arguments.
    const QStringList odd{"/opt/tab\there/new\nline/(x)&;|<>*?#~/lt"};
    const QString exec = LoginStart::execValue(odd);
    EXPECT_FALSE(exec.contains('\n'));
    EXPECT_EQ(splitExec(exec), odd);
}

class LoginStartFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString entryIn(const QString& config) const {
        return LoginStart::entryPath(dir.filePath(config), "/nonexistent");
    }
    QTemporaryDir dir;
};

TEST_F(LoginStartFiles, WriteCreatesTheFolderAndAnEntryThatStartsTheProgram) {
    const QString path = entryIn("deep/config");
    const QStringList command{"/opt/my apps/lintrove5a"};
    const LoginStart entry(path, command);
    EXPECT_FALSE(entry.exists());
    QString why;
    ASSERT_TRUE(entry.write(&why)) << why.toStdString();
    EXPECT_TRUE(entry.exists());

    const ReadEntry read = readEntry(path);
    EXPECT_EQ(read.firstLine, "[Desktop Entry]");
    EXPECT_EQ(read.keys.value("Type"), "Application");
    EXPECT_EQ(read.keys.value("Name"), "Lintrove 5A");
    EXPECT_FALSE(read.keys.value("Comment").isEmpty());
    EXPECT_EQ(read.keys.value("Icon"), "lintrove5a");
    EXPECT_EQ(read.keys.value("Terminal"), "false");
    EXPECT_EQ(read.keys.value("X-GNOME-Autostart-enabled"), "true");
    EXPECT_EQ(read.exec, command);

#ifdef LINTROVE_DESKTOP_FILE_VALIDATE
    if (QFileInfo(LINTROVE_DESKTOP_FILE_VALIDATE).isExecutable()) {
        QProcess validate;
        validate.start(LINTROVE_DESKTOP_FILE_VALIDATE, {path});
        ASSERT_TRUE(validate.waitForFinished(30000));
        const QByteArray said = validate.readAllStandardOutput() + validate.readAllStandardError();
        EXPECT_EQ(validate.exitCode(), 0) << said.toStdString();
        EXPECT_FALSE(said.contains("error")) << said.toStdString();
    }
#endif
}

// Places where no entry can be written: the reason comes back and no file, whole or partial, is
// left at the entry's path or beside it.
TEST_F(LoginStartFiles, AnUnwritablePlaceFailsWithAReasonAndLeavesNoFile) {
    const struct {
        const char* name;
        std::function<void(const QString& path)> prepare;
    } cases[] = {
        {"autostart is a file",
         [](const QString& path) {
             const QString autostart = QFileInfo(path).absolutePath();
             ASSERT_TRUE(QDir().mkpath(QFileInfo(autostart).absolutePath()));
             writeFile(autostart, "not a folder");
         }},
        {"the entry's path is a folder",
         [](const QString& path) { ASSERT_TRUE(QDir().mkpath(path)); }},
        {"the configuration folder is a file",
         [](const QString& path) {
             writeFile(QFileInfo(QFileInfo(path).absolutePath()).absolutePath(), "x");
         }},
    };
    for (const auto& c : cases) {
        const QString config = QString::fromUtf8(c.name).replace(' ', '-');
        const QString path = entryIn(config);
        c.prepare(path);
        QString why;
        EXPECT_FALSE(LoginStart(path, {"/opt/lt/lintrove5a"}).write(&why)) << c.name;
        EXPECT_FALSE(why.isEmpty()) << c.name;
        EXPECT_FALSE(QFileInfo(path).isFile()) << c.name;
        const QDir folder(QFileInfo(path).absolutePath());
        if (folder.exists()) {
            EXPECT_TRUE(folder.entryList(QDir::Files | QDir::Hidden).isEmpty()) << c.name;
        }
    }
}

// A file of someone else's at the entry's path is replaced by a new file, never rewritten in
// place: a second name for the old file still reads the old text.
TEST_F(LoginStartFiles, AnEntryAlreadyThereIsReplacedAtOnce) {
    const QString path = entryIn("config");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    writeFile(path, "[Desktop Entry]\nExec=someone-else\n");
    const QString witness = dir.filePath("witness");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(witness).constData()),
              0);
    QString why;
    ASSERT_TRUE(LoginStart(path, {"/opt/lt/lintrove5a"}).write(&why)) << why.toStdString();
    EXPECT_EQ(readEntry(path).exec, QStringList{"/opt/lt/lintrove5a"});
    EXPECT_EQ(readFile(witness), "[Desktop Entry]\nExec=someone-else\n");
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"lintrove5a.desktop"});
}

// A program path holding a control character an entry cannot hold, escaped or not, writes no
// entry: a desktop would reject it. Tabs and line ends have escapes and are written.
TEST_F(LoginStartFiles, AControlCharacterAnEntryCannotHoldWritesNoEntry) {
    const struct {
        const char* name;
        QString folder;
        bool written;
    } cases[] = {
        {"start of heading", QStringLiteral("/opt/a\x01b"), false},
        {"escape", QStringLiteral("/opt/\x1b[31mred"), false},
        {"delete", QStringLiteral("/opt/a\x7f"), false},
        {"a NUL", QString(QStringLiteral("/opt/a")) + QChar(0) + QStringLiteral("b"), false},
        {"tab and line ends", QStringLiteral("/opt/a\tb\nc\rd"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = entryIn(QString::fromLatin1(c.name).replace(' ', '-'));
        const QStringList command = LoginStart::command("/opt/lt/lintrove5a", c.folder, "/opt/lt");
        QString why;
        EXPECT_EQ(LoginStart(path, command).write(&why), c.written);
        EXPECT_EQ(QFileInfo(path).isFile(), c.written);
        EXPECT_EQ(why.isEmpty(), c.written) << why.toStdString();
        if (!c.written)
            continue;
        EXPECT_EQ(readEntry(path).exec, command);
#ifdef LINTROVE_DESKTOP_FILE_VALIDATE
        QProcess validate;
        validate.start(LINTROVE_DESKTOP_FILE_VALIDATE, {path});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0)
            << (validate.readAllStandardOutput() + validate.readAllStandardError()).toStdString();
#endif
    }
}

TEST_F(LoginStartFiles, RemoveTakesTheEntryAwayAndSaysWhyWhenItCannot) {
    const QString path = entryIn("config");
    const LoginStart entry(path, {"/opt/lt/lintrove5a"});
    QString why;
    EXPECT_TRUE(entry.remove(&why)) << "no entry is nothing to remove";
    ASSERT_TRUE(entry.write(&why));
    EXPECT_TRUE(entry.remove(&why)) << why.toStdString();
    EXPECT_FALSE(entry.exists());
    EXPECT_FALSE(QFileInfo::exists(path));

    // A folder in the entry's place cannot be removed as a file.
    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    EXPECT_TRUE(entry.exists());
    why.clear();
    EXPECT_FALSE(entry.remove(&why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(entry.exists());
}

} // namespace
