#pragma once
// Where the program keeps its files: the executable's folder, LINTROVE_HOME when set, or the
// user's data folder for an installed copy whose folder is not writable.
#include <QString>

namespace ProgramPaths {
QString programFolder();               // no trailing separator
QString settingsFile();                // <program folder>/lintrove5a.ini
QString helpFile();                    // <program folder>/lintrove5a.html
QString inFolder(const QString& name); // <program folder>/<name>
// The same files in a given program folder (tests and the demo use folders of their own).
QString settingsFile(const QString& folder);
QString helpFile(const QString& folder);
} // namespace ProgramPaths
