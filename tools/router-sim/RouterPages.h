#pragma once
// The markup of the simulated router's pages: login, wrong password, the helpdesk statistics
// page and the few others a user reaches from the menu. Plain functions of their inputs.
#include "LineModel.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <random>

// How the statistics page is written, beyond the line values themselves.
struct PageStyle {
    bool missingLabels = false; // no noise-margin and data-rate rows
    bool firmware = false;      // the firmware whose statistics live on another page
    bool mbps = false;          // the data rate written in Mbps
    bool quirk = false;         // the upstream noise margin written as an unsigned wrap
};

// The value cells of the statistics page, exactly as written.
struct StatsCells {
    QString noiseMargin, dataRate, maxDataRate, lineAttenuation, signalAttenuation;
};

namespace RouterPages {

// The values a page in this style can express: whole decibels for a wrapped noise margin,
// hundreds of Kbps for rates written in Mbps.
LineValues representable(LineValues v, const PageStyle& style);
StatsCells statsCells(const LineValues& v, const PageStyle& style);

// The helpdesk page, with the cells of statsCells(v, style); `uptimeSeconds` goes into the
// page's uptime script.
QString statsPage(const LineValues& v, std::int64_t uptimeSeconds, const PageStyle& style);
// The login form: its password field is named "password_" + fieldId; `returnPage` is the
// active_page shown after a successful login.
QString loginPage(const QString& fieldId, const QString& returnPage, bool wrongPassword,
                  bool firmware);
// Any other page of the menu.
QString homePage(bool synced, bool firmware);
QString notFoundPage();
// Random bytes, the answer of a router that has lost its mind.
QByteArray garbage(std::mt19937& rng);

} // namespace RouterPages
