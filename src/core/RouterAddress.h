#pragma once
// The router address test: four whole numbers from 0 to 255 separated by dots, an optional
// ":port", returned in the plain decimal form the browser is given.
#include <QString>
#include <optional>

class RouterAddress {
public:
    // The address in plain decimal ("010.0.0.1" gives "10.0.0.1", so no browser reads it as
    // octal), with the port kept when one follows the fourth number; nothing when the trimmed
    // text fails the test. Fields after the fourth are not examined and are not kept.
    static std::optional<QString> normalised(const QString& text);
    static bool passes(const QString& text) { return normalised(text).has_value(); }

    static QString defaultAddress() { return QStringLiteral("192.168.1.254"); }
};
