#include "app/station_metrics.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace dvx {
namespace {

TEST(StationMetrics, EachMetricHasOneHelpAndTypeBeforeItsSamplesAndLabelsAreEscaped) {
    StationMetrics metrics;
    metrics.armed = true;
    metrics.alarms = 3;
    metrics.peakLeft = 0.5;
    metrics.devices = {{"Card \"A\" \\ 1\nmain", true, true}, {"Out", false, false}};
    const std::string text = renderMetrics(metrics);

    std::map<std::string, std::string> types;  // by name
    std::string current;                       // the metric whose samples may follow
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first, name, type;
        words >> first;
        if (first == "#") {
            words >> type >> name;
            ASSERT_EQ(name.rfind("dorvexia_", 0), 0u) << line;
            if (type == "HELP") {
                EXPECT_FALSE(types.contains(name)) << "twice: " << name;
                current = name;
            } else {
                ASSERT_EQ(type, "TYPE") << line;
                ASSERT_EQ(name, current) << "TYPE without its HELP first: " << line;
                words >> types[name];
            }
        } else {
            const std::string sampleName = first.substr(0, first.find('{'));
            EXPECT_EQ(sampleName, current) << "a sample away from its metric: " << line;
        }
    }
    for (const auto& [name, type] : types) {
        EXPECT_EQ(type == "counter", name.ends_with("_total")) << name << " " << type;
    }
    EXPECT_EQ(types.size(), 15u);
    EXPECT_NE(text.find("\ndorvexia_armed 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\ndorvexia_alarms_total 3\n"), std::string::npos);
    EXPECT_NE(text.find("\ndorvexia_peak_level{channel=\"left\"} 0.5\n"), std::string::npos);
    EXPECT_NE(text.find(R"(dorvexia_audio_device_up{device="Card \"A\" \\ 1\nmain",)"
                        R"(direction="input"} 1)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(R"(dorvexia_audio_device_up{device="Out",direction="output"} 0)"),
              std::string::npos);
}

}  // namespace
}  // namespace dvx
