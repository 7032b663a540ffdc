#pragma once
// The Line Drops window's exports, the report and the CSV: the file offered (a dated name in
// the folder of the last export, at first the user's home) and what the user is told after the
// write.
#include "drops/DropReport.h"

#include <QDate>
#include <QString>

class DropExport {
public:
    enum class Kind { Report, Csv };

    explicit DropExport(QString startFolder);

    // "Lintrove5A-drops-report-20261203.html" or "Lintrove5A-drops-20261203.csv".
    static QString fileName(Kind kind, const QDate& today);
    QString suggestedPath(Kind kind, const QDate& today) const;

    struct Outcome {
        bool written = false;
        // "Report written to <path>", or the file and the reason it could not be written.
        QString text;
    };
    // Writes the file whole or not at all; a written one's folder is offered next time.
    Outcome write(Kind kind, const QString& path, const DropReport::Input& input);

private:
    QString folder_;
};
