#include "housekeeping/LoginStart.h"

#include "core/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <optional>

namespace {

// One argument of Exec: quoted when it holds a character the desktop entry rules reserve.
QString execArgument(QString argument) {
    argument.replace(QLatin1Char('%'), QStringLiteral("%%")); // "%" starts a field code
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    const bool quote =
        argument.isEmpty() || std::any_of(argument.cbegin(), argument.cend(),
                                          [](QChar c) { return reserved.contains(c); });
    if (!quote)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : std::as_const(argument)) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// A string value of the entry file: its escapes are undone before Exec's quoting is read.
QString stringValue(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

// The first character of the command that no string value of an entry may hold, escaped or
// not: the control characters other than tab and the line ends, which have escapes.
std::optional<QChar> unwritableCharacter(const QStringList& command) {
    for (const QString& argument : command)
        for (const QChar c : argument)
            if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
                c.unicode() == 0x7f)
                return c;
    return std::nullopt;
}

} // namespace

LoginStart::LoginStart(QString entryPath, QStringList command)
    : path_(std::move(entryPath)), command_(std::move(command)) {}

LoginStart LoginStart::forThisProgram(const QString& programFolder) {
    const QString executable = QCoreApplication::applicationFilePath();
    const QString alone =
        ProgramPaths::programFolder({QString(), QCoreApplication::applicationDirPath(),
                                     qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()});
    return LoginStart(entryPath(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()),
                      command(executable, programFolder, alone));
}

QString LoginStart::entryPath(const QString& xdgConfigHome, const QString& homeFolder) {
    const QString config = QDir::isAbsolutePath(xdgConfigHome)
                               ? xdgConfigHome
                               : homeFolder + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart/lintrove5a.desktop"));
}

QStringList LoginStart::command(const QString& executable, const QString& programFolder,
                                const QString& folderPickedAlone) {
    const QString folder = QDir::cleanPath(QDir(programFolder).absolutePath());
    if (folder == QDir::cleanPath(folderPickedAlone))
        return {executable};
    // The same program folder must come up at login, and the session has no LINTROVE_HOME.
    return {QStringLiteral("env"), QStringLiteral("LINTROVE_HOME=") + folder, executable};
}

QString LoginStart::execValue(const QStringList& command) {
    QStringList arguments;
    for (const QString& argument : command)
        arguments << execArgument(argument);
    return stringValue(arguments.join(QLatin1Char(' ')));
}

bool LoginStart::exists() const {
    return QFileInfo::exists(path_);
}

QByteArray LoginStart::entryText() const {
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Lintrove 5A\n"
                       "Comment=Watch and plot the line statistics of a BT Home Hub 5A router\n"
                       "Exec=%1\n"
                       "Icon=lintrove5a\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(execValue(command_));
    return text.toUtf8();
}

bool LoginStart::write(QString* why) const {
    // A desktop rejects such an entry: none is written rather than one that never starts.
    if (const std::optional<QChar> c = unwritableCharacter(command_)) {
        *why = QStringLiteral("The program's command holds a control character (0x%1), which an "
                              "autostart entry cannot hold.")
                   .arg(c->unicode(), 2, 16, QLatin1Char('0'));
        return false;
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) {
        *why = QStringLiteral("The folder %1 cannot be created.").arg(folder);
        return false;
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = file.errorString();
        return false;
    }
    file.write(entryText());
    if (!file.commit()) {
        *why = file.errorString();
        return false;
    }
    return true;
}

bool LoginStart::remove(QString* why) const {
    QFile file(path_);
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink())
        return true;
    if (!file.remove()) {
        *why = file.errorString();
        return false;
    }
    return true;
}
