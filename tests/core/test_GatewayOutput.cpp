#include "core/GatewayOutput.h"

#include "core/DefaultGateway.h"

#include <gtest/gtest.h>

namespace {

using Outcome = GatewayOutput::Outcome;

struct Case {
    const char* name;
    const char* output;
    Outcome outcome;
    const char* address;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class GatewayOutputTest : public testing::TestWithParam<Case> {};

TEST_P(GatewayOutputTest, ReadsTheAddressBehindTheFirstLabel) {
    const Case& c = GetParam();
    const GatewayOutput::Result r = GatewayOutput::parse(QString::fromUtf8(c.output));
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.address.toStdString(), c.address);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, GatewayOutputTest,
    testing::Values(Case{"OurOwnLine", "Default Gateway . . . . . . . . . : 10.0.0.138\n",
                         Outcome::Found, "10.0.0.138"},
                    Case{"AmongOtherLines",
                         "Windows IP Configuration\r\n\r\n   IPv4 Address. . . . . . . . . . . : "
                         "192.168.1.64\r\n   Default Gateway . . . . . . . . . : 192.168.1.254\r\n",
                         Outcome::Found, "192.168.1.254"},
                    Case{"NoColonKeepsAll", "Default Gateway 10.0.0.1", Outcome::Found, "10.0.0.1"},
                    Case{"LeadingZerosMadeDecimal", "Default Gateway: 010.000.000.001\n",
                         Outcome::Found, "10.0.0.1"},
                    Case{"FirstOfTwoLabels",
                         "Default Gateway . . : 10.0.0.1\r\n   (second adapter)\r\n"
                         "   Default Gateway . . : 10.0.0.2\r\n",
                         Outcome::Found, "10.0.0.1"},
                    Case{"IPv6GatewayFirst",
                         "Default Gateway . . . . . . . . . : fe80::1%12\r\n"
                         "                                    192.168.1.254\r\n",
                         Outcome::Unusable, ""},
                    Case{"FurtherDigitsWithin45",
                         "Default Gateway . . : 192.168.1.254\r\nDHCP Server 192.168.1.1\r\n",
                         Outcome::Unusable, ""},
                    Case{"AddressBeyond45",
                         "Default Gateway . . . . . . . . . . . . . . . . . . . . . . : 10.0.0.1\n",
                         Outcome::Unusable, ""},
                    Case{"TooShortAfterColon", "Default Gateway: 1.2", Outcome::Unusable, ""},
                    Case{"EmptyAfterLabel", "Default Gateway", Outcome::Unusable, ""},
                    Case{"NoLabel", "Windows IP Configuration\r\n", Outcome::NoLabel, ""},
                    Case{"LabelCaseMatters", "default gateway . . : 10.0.0.1\n", Outcome::NoLabel,
                         ""},
                    Case{"Nothing", "", Outcome::NoLabel, ""}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// What the program prints in its "--ipconfig" mode is what Find reads.
TEST(GatewayOutput, ReadsTheLineTheIpconfigModePrints) {
    const QString printed = DefaultGateway::ipconfigText(qEnvironmentVariable("LINTROVE_FIXTURES") +
                                                         QStringLiteral("/net/route"));
    ASSERT_FALSE(printed.isEmpty());
    const GatewayOutput::Result r = GatewayOutput::parse(printed);
    EXPECT_EQ(r.outcome, Outcome::Found);
    EXPECT_EQ(printed, QStringLiteral("Default Gateway . . . . . . . . . : ") + r.address + "\n");
}

} // namespace
