#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dvx {

// Where the metrics endpoint listens.
struct MetricsAddress {
    std::string host;  // an IP address, "localhost", or "*" for every interface
    int port = 0;      // 0..65535; 0 takes any free port
    bool operator==(const MetricsAddress&) const = default;
};

struct MetricsAddressParse {
    std::optional<MetricsAddress> address;  // nothing: the endpoint is off, or the text is bad
    std::string error;                      // why the text is bad; empty when it is not
};

// Reads "HOST:PORT", "[IPv6]:PORT", ":PORT" or "PORT"; without a host the endpoint listens on
// 127.0.0.1 only. Blank text turns the endpoint off. Only the form is checked here: whether the
// host is an address of this machine shows when the endpoint starts to listen.
MetricsAddressParse parseMetricsAddress(std::string_view text);

// "127.0.0.1:9464", "[::1]:9464".
std::string describeMetricsAddress(const MetricsAddress& address);

}  // namespace dvx
