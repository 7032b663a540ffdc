#include "drops/DropExport.h"

#include <QDir>
#include <QFileInfo>

DropExport::DropExport(QString startFolder) : folder_(std::move(startFolder)) {}

QString DropExport::fileName(Kind kind, const QDate& today) {
    const QString day = today.toString(QStringLiteral("yyyyMMdd"));
    return kind == Kind::Report ? QStringLiteral("Lintrove5A-drops-report-%1.html").arg(day)
                                : QStringLiteral("Lintrove5A-drops-%1.csv").arg(day);
}

QString DropExport::suggestedPath(Kind kind, const QDate& today) const {
    return QDir(folder_).filePath(fileName(kind, today));
}

DropExport::Outcome DropExport::write(Kind kind, const QString& path,
                                      const DropReport::Input& input) {
    QString error;
    const bool written = kind == Kind::Report ? DropReport::writeHtml(path, input, &error)
                                              : DropReport::writeCsv(path, input.events, &error);
    const QString what = kind == Kind::Report ? QStringLiteral("Report") : QStringLiteral("CSV");
    const QString shown = QDir::toNativeSeparators(path);
    if (!written)
        return {false, QStringLiteral("The %1 could not be written to %2: %3")
                           .arg(kind == Kind::Report ? QStringLiteral("report")
                                                     : QStringLiteral("CSV file"),
                                shown, error)};
    folder_ = QFileInfo(path).absolutePath();
    return {true, QStringLiteral("%1 written to %2").arg(what, shown)};
}
