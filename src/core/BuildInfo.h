#pragma once
// The program's version and build date, as the build defines them (CMakeLists.txt): what
// "--version", the About box and the images' footer show.
#include <QDate>
#include <QString>

class BuildInfo {
public:
    // "0.1.0".
    static QString version();
    static QDate buildDate();
    // "Version 0.1.0 - 11 December 2026": day without leading zero, English month name.
    static QString versionLine(const QString& version, QDate date);
    static QString versionLine() { return versionLine(version(), buildDate()); }
};
