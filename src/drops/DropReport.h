#pragma once
// The report for the provider: one self-contained HTML file (inline CSS, the graph images as data
// URIs, no script) with the line's details, the drop summary, the table of drops and, per drop,
// the images captured for it. And the CSV export, in the record's own format.
#include "core/LineSample.h"
#include "drops/DropEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

class DropReport {
public:
    struct Input {
        QString router;                // the router's address
        LineSample line;               // the latest sample: sync rates, the user graphs' values
        QString user1Name, user2Name;  // what the user graphs show ("Line Attenuation", ...)
        std::vector<DropEvent> events; // oldest first, as the record keeps them
        QDateTime now;
        QString imageFolder; // where the captured images are
    };

    static QByteArray html(const Input& input);

    // Write the report or the CSV, replacing the file atomically. False, with the reason in
    // *error, when it could not be written.
    [[nodiscard]] static bool writeHtml(const QString& path, const Input& input,
                                        QString* error = nullptr);
    [[nodiscard]] static bool writeCsv(const QString& path, const std::vector<DropEvent>& events,
                                       QString* error = nullptr);
};
