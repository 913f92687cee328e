#include "settings/smtp_settings.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <climits>
#include <stdexcept>
#include <vector>

#include "common/paths.h"
#include "common/text_file.h"

namespace dvx {
namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> urlProblem(std::string_view url) {
    const std::string shown = withoutCredentials(url);
    for (const std::string_view scheme :
         {std::string_view("smtp://"), std::string_view("smtps://")}) {
        if (startsWithIgnoringCase(url, scheme)) {
            if (shown.size() == scheme.size()) {
                return "The mail server \"" + shown + "\" names no server.";
            }
            if (shown.size() != url.size()) {
                return "The mail server \"" + shown +
                       "\" may not hold a user name or password: they go in User Name and "
                       "Password.";
            }
            return std::nullopt;
        }
    }
    return "The mail server \"" + shown +
           "\" must start with smtp:// or smtps://, for example smtp://mail.example.com:587.";
}

std::string hostName() {
    std::array<char, HOST_NAME_MAX + 1> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    return name.data();
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The file's lines without their CR LF (a bare LF ends a line too).
std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

}  // namespace

std::string withoutCredentials(std::string_view url) {
    std::size_t start = url.find("://");
    // "://" ends the scheme only when nothing of an address comes before it.
    start = start == std::string_view::npos ||
                    url.substr(0, start).find_first_of("/?#@") != std::string_view::npos
                ? 0
                : start + 3;
    const std::size_t end = url.find_first_of("/?#", start);
    const std::size_t at =
        url.substr(start, end == std::string_view::npos ? end : end - start).rfind('@');
    if (at == std::string_view::npos) {
        return std::string(url);
    }
    return std::string(url.substr(0, start)) + std::string(url.substr(start + at + 1));
}

bool isLoopbackHost(std::string_view host) {
    std::string name;
    for (const char c : host) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (name == "localhost" || name == "localhost.") {
        return true;
    }
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    in_addr v4{};
    if (::inet_pton(AF_INET, name.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    if (::inet_pton(AF_INET6, name.c_str(), &v6) == 1) {
        return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
    }
    return false;
}

std::optional<std::string> smtpSettingsProblem(const SmtpSettings& settings) {
    if (settings.ServerUrl.find_first_of("\r\n") != std::string::npos ||
        settings.Sender.find_first_of("\r\n") != std::string::npos) {
        return std::string("The mail server and the sender may not hold a line break.");
    }
    return urlProblem(settings.ServerUrl);
}

SmtpSettings defaultSmtpSettings(std::string_view userName) {
    return {std::string(kDefaultSmtpServerUrl), defaultSender(userName)};
}

std::string defaultSender(std::string_view userName) {
    return userName.find('@') != std::string_view::npos ? std::string(userName)
                                                        : "dorvexia@" + hostName();
}

SmtpLoad readStoredSmtpSettings(const Paths& paths) {
    SmtpLoad result;
    const auto path = paths.programFile("Smtp.dat");
    const std::optional<std::string> text = readWholeFile(path);
    if (!text) {
        return result;
    }
    const std::vector<std::string> lines = linesOf(*text);
    std::string url = lines.size() > 0 ? trimmed(lines[0]) : std::string{};
    if (const std::string bare = withoutCredentials(url); bare.size() != url.size()) {
        // Typed into the file by hand: the account of User.dat is the one that logs in.
        url = bare;
        result.warning = "The mail server " + url + " in " + path.string() +
                         " held a user name or password; they are not used. Enter them as User "
                         "Name and Password under Setup, My Preferences.";
    }
    if (!url.empty()) {
        if (const auto problem = urlProblem(url)) {
            result.warning = *problem + " It is set in " + path.string() + "; mail goes to " +
                             std::string(kDefaultSmtpServerUrl) + " instead.";
        } else {
            result.settings.ServerUrl = url;
        }
    }
    result.settings.Sender = lines.size() > 1 ? trimmed(lines[1]) : std::string{};
    return result;
}

SmtpLoad loadSmtpSettings(const Paths& paths, std::string_view userName) {
    SmtpLoad result = readStoredSmtpSettings(paths);
    if (result.settings.ServerUrl.empty()) {
        result.settings.ServerUrl = std::string(kDefaultSmtpServerUrl);
    }
    if (result.settings.Sender.empty()) {
        result.settings.Sender = defaultSender(userName);
    }
    return result;
}

void saveSmtpSettings(const Paths& paths, const SmtpSettings& settings) {
    if (const auto problem = smtpSettingsProblem(settings)) {
        throw std::invalid_argument(*problem);
    }
    writeTextLines(paths.programFile("Smtp.dat"), {settings.ServerUrl, settings.Sender}, 0600);
}

}  // namespace dvx
