#pragma once
// Starting the program when the user logs in: the desktop's autostart entry for it
// ($XDG_CONFIG_HOME/autostart/lintrove5a.desktop), written, removed and looked for. The file is
// the only record of the choice: a user may delete it by hand.
#include <QByteArray>
#include <QString>
#include <QStringList>

class LoginStart {
public:
    // command: the program and its arguments as the entry starts them.
    LoginStart(QString entryPath, QStringList command);

    // This program's entry: the running executable, with the program folder when the executable
    // would not pick that folder by itself at login (one named by LINTROVE_HOME).
    static LoginStart forThisProgram(const QString& programFolder);

    // <config>/autostart/lintrove5a.desktop, where <config> is xdgConfigHome when it is an
    // absolute path and ~/.config otherwise (the XDG base directory rules ignore relative values).
    static QString entryPath(const QString& xdgConfigHome, const QString& homeFolder);
    // What the entry runs: the executable alone, or through env with LINTROVE_HOME set to
    // programFolder when that differs from the folder the executable picks by itself.
    static QStringList command(const QString& executable, const QString& programFolder,
                               const QString& folderPickedAlone);
    // The Exec value for a command: each argument quoted where the desktop entry rules ask for it
    // ("%" doubled, reserved characters inside double quotes with ", `, $ and \ escaped), then the
    // backslashes and control characters escaped once more as the file's string values are.
    static QString execValue(const QStringList& command);

    QString path() const { return path_; }
    // Whether anything is at the entry's path.
    bool exists() const;
    // The entry's text.
    QByteArray entryText() const;
    // Writes the entry, creating the autostart folder; a file already there is replaced at once
    // or not at all. Returns false with why set when it cannot, or when the command holds a
    // control character an entry cannot hold (any but tab, LF and CR).
    bool write(QString* why) const;
    // Removes the entry; no entry is not an error. Returns false with why set when it stays.
    bool remove(QString* why) const;

private:
    QString path_;
    QStringList command_;
};
