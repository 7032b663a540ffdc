#include "core/BuildInfo.h"

#include <QLocale>

QString BuildInfo::version() {
    return QStringLiteral(LINTROVE_VERSION);
}

QDate BuildInfo::buildDate() {
    return QDate::fromString(QStringLiteral(LINTROVE_BUILD_DATE), Qt::ISODate);
}

QString BuildInfo::versionLine(const QString& version, QDate date) {
    // The program's texts are English whatever the desktop's language.
    return QStringLiteral("Version ") + version + QStringLiteral(" - ") +
           QLocale(QLocale::English).toString(date, QStringLiteral("d MMMM yyyy"));
}
