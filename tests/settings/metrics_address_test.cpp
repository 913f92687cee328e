#include "settings/metrics_address.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "settings/extra_settings.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(MetricsAddress, APortAloneListensOnThisMachineOnlyAndBadFormsSayWhy) {
    const std::pair<const char*, const char*> good[] = {{"9464", "127.0.0.1:9464"},
                                                        {" :9464 ", "127.0.0.1:9464"},
                                                        {"0.0.0.0:9100", "0.0.0.0:9100"},
                                                        {"[::1]:9464", "[::1]:9464"},
                                                        {"*:9464", "*:9464"}};
    for (const auto& [text, expected] : good) {
        const MetricsAddressParse parsed = parseMetricsAddress(text);
        ASSERT_TRUE(parsed.address) << text << ": " << parsed.error;
        EXPECT_EQ(describeMetricsAddress(*parsed.address), expected);
    }
    EXPECT_EQ(parseMetricsAddress("  ").address, std::nullopt);  // off, and no complaint
    EXPECT_EQ(parseMetricsAddress("  ").error, "");
    for (const char* bad : {"host:", "70000", "9464x", "::1:9464", "[::1]9464", "a b:80", "-1"}) {
        const MetricsAddressParse parsed = parseMetricsAddress(bad);
        EXPECT_FALSE(parsed.address) << bad;
        EXPECT_NE(parsed.error.find(bad), std::string::npos) << parsed.error;
    }
}

TEST(ExtraSettings, ASettingIsReplacedInPlaceAndOtherLinesAreKept) {
    test::TempFolder root;
    test::writeFile(root.path() / "Dorvexia.conf",
                    "# kept\r\nother = x\r\nmetrics-address=9464\r\n");
    ExtraSettings settings = ExtraSettings::read(root.path());
    EXPECT_EQ(settings.value("other"), "x");
    EXPECT_EQ(settings.value(ExtraSettings::kMetricsAddress), "9464");
    settings.setValue(ExtraSettings::kMetricsAddress, "0.0.0.0:9100");
    settings.write();
    EXPECT_EQ(*readWholeFile(root.path() / "Dorvexia.conf"),
              "# kept\r\nother = x\r\nmetrics-address=0.0.0.0:9100\r\n");
    EXPECT_EQ(ExtraSettings::read(root.path() / "none").value("other"), "");
}

}  // namespace
}  // namespace dvx
