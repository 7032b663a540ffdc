#pragma once
// Reads the router address out of the network-configuration command's output: the text after the
// first "Default Gateway" label, as the Find button of the setup wizard uses it.
#include <QString>

class GatewayOutput {
public:
    enum class Outcome {
        NoLabel,  // no "Default Gateway" in the output: the machine has no default route
        Unusable, // a label but no address that passes the address test
        Found,
    };
    struct Result {
        Outcome outcome = Outcome::NoLabel;
        QString address; // plain decimal, when found
    };

    static Result parse(const QString& output);

    static QString label() { return QStringLiteral("Default Gateway"); }
};
