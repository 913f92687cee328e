#include "app/station_metrics.h"

#include <cmath>
#include <cstdio>

namespace dvx {
namespace {

// A label value inside double quotes: backslash, double quote and line feed escaped.
std::string escapeLabel(const std::string& value) {
    std::string escaped;
    for (const char c : value) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
            escaped += c;
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string number(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string number(std::uint64_t value) {
    return std::to_string(value);
}

// Writes one metric: its HELP and TYPE lines, then its samples.
class Exposition {
  public:
    struct Sample {
        std::string labels;  // `name="value",...` already escaped, or empty
        std::string value;
    };

    void metric(const std::string& name, const char* type, const char* help,
                const std::vector<Sample>& samples) {
        const std::string full = "dorvexia_" + name;
        m_text += "# HELP " + full + " " + help + "\n";
        m_text += "# TYPE " + full + " " + type + "\n";
        for (const Sample& sample : samples) {
            m_text += full;
            if (!sample.labels.empty()) {
                m_text += "{" + sample.labels + "}";
            }
            m_text += " " + sample.value + "\n";
        }
    }
    void gauge(const std::string& name, const char* help, double value) {
        metric(name, "gauge", help, {{{}, number(value)}});
    }
    // `name` without its "_total", which is added.
    void counter(const std::string& name, const char* help, std::uint64_t value) {
        metric(name + "_total", "counter", help, {{{}, number(value)}});
    }
    const std::string& text() const { return m_text; }

  private:
    std::string m_text;
};

}  // namespace

std::string renderMetrics(const StationMetrics& m) {
    Exposition out;
    out.gauge("armed", "1 while the sensor is armed.", m.armed ? 1 : 0);
    out.gauge("alarm", "1 from alarm begin to alarm end.", m.alarm ? 1 : 0);
    out.gauge("fill_active", "1 while a fill is under way.", m.fill ? 1 : 0);
    out.gauge("silence_seconds", "Seconds since the armed sensor last heard sound.",
              m.silenceSeconds);
    out.metric(
        "peak_level", "gauge", "Peak of the last captured buffer, as a fraction of full scale.",
        {{"channel=\"left\"", number(m.peakLeft)}, {"channel=\"right\"", number(m.peakRight)}});
    out.gauge("last_buffer_timestamp_seconds",
              "Unix time the last buffer was captured; 0 before the first.",
              m.lastBufferUnixSeconds);
    out.counter("alarms", "Alarms begun.", m.alarms);
    out.counter("fill_items", "Fill items started.", m.fillItems);
    out.counter("mails_sent", "Alarm mails the mail server took, one per recipient.", m.mailsSent);
    out.counter("mails_failed", "Alarm mails the mail server did not take, one per recipient.",
                m.mailsFailed);
    out.counter("pages_sent", "Pages dialled.", m.pagesSent);
    out.counter("pages_failed", "Pages whose call was not made.", m.pagesFailed);
    out.counter("audio_overruns", "Device buffers flagged as overflowed.", m.overruns);
    out.counter("audio_underruns", "Device buffers flagged as underflowed.", m.underruns);
    std::vector<Exposition::Sample> devices;
    for (const DeviceHealth& device : m.devices) {
        devices.push_back({"device=\"" + escapeLabel(device.name) + "\",direction=\"" +
                               (device.input ? "input" : "output") + "\"",
                           device.ok ? "1" : "0"});
    }
    out.metric("audio_device_up", "gauge", "1 while the sound device works, 0 while it is lost.",
               devices);
    return out.text();
}

}  // namespace dvx
