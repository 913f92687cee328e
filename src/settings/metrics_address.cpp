#include "settings/metrics_address.h"

#include <charconv>

#include "common/record_codec.h"

namespace dvx {

MetricsAddressParse parseMetricsAddress(std::string_view given) {
    const std::string kept = trimBlanks(given);
    const std::string_view text = kept;
    if (text.empty()) {
        return {};
    }
    const std::string quoted = "The metrics address \"" + std::string(text) + "\" ";
    std::string_view host;
    std::string_view port = text;
    if (text.front() == '[') {
        const auto close = text.find("]:");
        if (close == std::string_view::npos) {
            return {std::nullopt, quoted + "needs a port after the bracketed address: [::1]:9464"};
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) {
            return {std::nullopt, quoted + "needs brackets around an IPv6 address: [::1]:9464"};
        }
    }
    int number = 0;
    const auto [end, failure] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (port.empty() || failure != std::errc{} || end != port.data() + port.size() || number < 0 ||
        number > 65535) {
        return {std::nullopt, quoted + "needs a port from 1 to 65535, as in 127.0.0.1:9464"};
    }
    if (host.find_first_of(" \t/") != std::string_view::npos) {
        return {std::nullopt, quoted + "is not HOST:PORT"};
    }
    return {MetricsAddress{host.empty() ? "127.0.0.1" : std::string(host), number}, {}};
}

std::string describeMetricsAddress(const MetricsAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace dvx
