#pragma once
// The report for the provider: one self-contained HTML file (inline CSS, the graph images as data
// URIs, no script) with the line's details as last read with sync, the drop summary, the table of
// events with what is known of each and, per event, the images captured for it. And the CSV
// export, in the record's own format.
#include "core/LineReading.h"
#include "drops/DropEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

class DropReport {
public:
    struct Input {
        QString router; // the router's address
        // The last reading with sync (its rates, margins and the user graphs' values, and when):
        // a report made while the line is down shows the line as it last worked, not zeros.
        std::optional<LineReading> lastSynced;
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
