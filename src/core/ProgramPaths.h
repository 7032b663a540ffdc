#pragma once
// Where the program keeps its files: the executable's folder, LINTROVE_HOME when set, or the
// user's data folder for an installed copy or one whose folder is not writable.
#include <QString>

namespace ProgramPaths {
QString programFolder();               // no trailing separator; created when it is the data folder
QString settingsFile();                // <program folder>/lintrove5a.ini
QString helpFile();                    // <program folder>/lintrove5a.html
QString inFolder(const QString& name); // <program folder>/<name>
// A folder as the user typed it (capture folder, web folder): a relative text lies beside the
// program, never in the working folder; an empty text stays empty (it is never a folder).
QString resolveFolder(const QString& text, const QString& programFolder);
// The same files in a given program folder (tests and the demo use folders of their own).
QString settingsFile(const QString& folder);
QString helpFile(const QString& folder);

// The help document of an installed copy: <prefix>/share/doc/lintrove5a/lintrove5a.html for an
// executable in <prefix>/bin. Empty when there is none (a build tree, a folder of its own).
QString installedHelpFile();
QString installedHelpFile(const QString& executableFolder);

// $XDG_DATA_HOME/lintrove5a; ~/.local/share/lintrove5a when XDG_DATA_HOME is unset, empty or
// relative (the XDG base directory rules ignore relative values).
QString userDataFolder(const QString& xdgDataHome, const QString& homeFolder);

// What programFolder() decides from, so that tests can give their own.
struct Environment {
    QString lintroveHome;     // LINTROVE_HOME
    QString executableFolder; // the folder of the running executable
    QString xdgDataHome;      // XDG_DATA_HOME
    QString homeFolder;       // the user's home folder
};
// LINTROVE_HOME when set; else the user's data folder for an installed copy (its files do not
// belong in <prefix>/bin, even where it could write there, as root can) or one that cannot write
// beside itself; else the executable's folder.
QString programFolder(const Environment& environment);
} // namespace ProgramPaths
