#include "core/RouterAddress.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* typed;
    const char* stored; // nullptr: refused
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

class RouterAddressTest : public testing::TestWithParam<Case> {};

TEST_P(RouterAddressTest, TestsAndNormalises) {
    const Case& c = GetParam();
    const auto result = RouterAddress::normalised(QString::fromUtf8(c.typed));
    if (!c.stored) {
        EXPECT_FALSE(result.has_value()) << c.typed << " gave " << result->toStdString();
        EXPECT_FALSE(RouterAddress::passes(QString::fromUtf8(c.typed)));
        return;
    }
    ASSERT_TRUE(result.has_value()) << c.typed;
    EXPECT_EQ(result->toStdString(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RouterAddressTest,
    testing::Values(Case{"192.168.1.254", "192.168.1.254"}, Case{"0.0.0.0", "0.0.0.0"},
                    Case{"255.255.255.255", "255.255.255.255"},
                    // Blanks around are trimmed, so what is stored is what was tested.
                    Case{"  192.168.1.254\t", "192.168.1.254"},
                    // Leading zeros are decimal here; a browser would read "010" as octal 8.
                    Case{"010.0.0.1", "10.0.0.1"}, Case{"192.168.001.0254", "192.168.1.254"},
                    // Fields after the fourth are not examined, and not kept.
                    Case{"10.0.0.138.5x", "10.0.0.138"},
                    // A port after the fourth number is kept.
                    Case{"127.0.0.1:8106", "127.0.0.1:8106"},
                    Case{"127.0.0.1:065535", "127.0.0.1:65535"}, Case{"127.0.0.1:1", "127.0.0.1:1"},
                    // Refused.
                    Case{"", nullptr}, Case{"   ", nullptr}, Case{"192.168.1", nullptr},
                    Case{"192.168.1.", nullptr}, Case{"256.1.1.1", nullptr},
                    Case{"1.2.3.256", nullptr}, Case{"1..2.3", nullptr}, Case{"a.b.c.d", nullptr},
                    Case{"-1.2.3.4", nullptr}, Case{"+1.2.3.4", nullptr},
                    Case{"1.2.3.4 5", nullptr}, Case{"1.2. 3.4", nullptr},
                    Case{"0x7f.0.0.1", nullptr}, Case{"99999999999999999999.1.1.1", nullptr},
                    Case{"router.home.lan.x", nullptr}, Case{"1.2.3.4:0", nullptr},
                    Case{"1.2.3.4:65536", nullptr}, Case{"1.2.3.4:", nullptr},
                    Case{"1.2.3.4:80x", nullptr}, Case{"1.2.3.4:-80", nullptr},
                    Case{"１.2.3.4", nullptr}));

} // namespace
