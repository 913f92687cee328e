#include "notify/mail_message.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "notify/text_encoding.h"

namespace dvx {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kEncodedChunkBytes = 45;  // 60 base64 characters: words stay below 76

std::string base64(std::string_view data) {
    constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(data[i]) << 16;
        if (i + 1 < data.size()) {
            group |= static_cast<unsigned char>(data[i + 1]) << 8;
        }
        if (i + 2 < data.size()) {
            group |= static_cast<unsigned char>(data[i + 2]);
        }
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += i + 1 < data.size() ? kAlphabet[(group >> 6) & 0x3F] : '=';
        out += i + 2 < data.size() ? kAlphabet[group & 0x3F] : '=';
    }
    return out;
}

// The subject on one line: line breaks and other control characters become blanks.
std::string oneLine(std::string_view text) {
    std::string out(text);
    std::replace_if(
        out.begin(), out.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }, ' ');
    return out;
}

bool isPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x80; });
}

// Encoded words of at most 45 bytes each, cut between characters.
std::string encodedWords(std::string_view utf8) {
    std::string out;
    std::size_t start = 0;
    while (start < utf8.size()) {
        std::size_t end = std::min(utf8.size(), start + kEncodedChunkBytes);
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            --end;
        }
        if (!out.empty()) {
            out += "\r\n ";
        }
        out += "=?UTF-8?B?" + base64(utf8.substr(start, end - start)) + "?=";
        start = end;
    }
    return out;
}

// Every line end (CR LF, a lone CR or a lone LF) as CR LF, and one at the end.
std::string crLfLines(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += kCrLf;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, kCrLf) != 0) {
        out += kCrLf;
    }
    return out;
}

}  // namespace

bool isUsableAddress(std::string_view address) {
    constexpr std::string_view kPunctuation = "<>,;:\"()[]\\";
    const std::size_t at = address.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == address.size()) {
        return false;
    }
    return std::none_of(address.begin(), address.end(), [&](unsigned char c) {
        return c <= 0x20 || c >= 0x7F ||
               kPunctuation.find(static_cast<char>(c)) != std::string_view::npos;
    });
}

std::string rfc5322Date(const LocalDateTime& now) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int seconds = static_cast<int>(std::floor(now.secondsOfDay));
    std::tm withZone{};
    long offsetSeconds = 0;
    if (const std::optional<double> unix = unixSeconds(now)) {
        const auto moment = static_cast<std::time_t>(*unix);
        if (::localtime_r(&moment, &withZone) != nullptr) {
            offsetSeconds = withZone.tm_gmtoff;
        }
    }
    const long offsetMinutes = std::labs(offsetSeconds) / 60;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  kDays[(now.weekday + 6) % 7], now.day, kMonths[(now.month + 11) % 12], now.year,
                  seconds / 3600, (seconds % 3600) / 60, seconds % 60,
                  offsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return buffer;
}

MailMessage composeMail(const std::string& sender, const std::vector<std::string>& recipients,
                        std::string_view subject, std::string_view body, const LocalDateTime& now,
                        const std::string& messageId) {
    const std::string subjectText = windows1252ToUtf8(oneLine(subject));
    std::string to;
    for (const std::string& recipient : recipients) {
        to += (to.empty() ? "" : ",\r\n ") + recipient;
    }
    std::string text;
    text += "Date: " + rfc5322Date(now) + "\r\n";
    text += "From: " + sender + "\r\n";
    text += "To: " + to + "\r\n";
    text += "Subject: " + (isPlainAscii(subjectText) ? subjectText : encodedWords(subjectText)) +
            "\r\n";
    text += "Message-ID: <" + messageId + ">\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    text += "Content-Transfer-Encoding: 8bit\r\n";
    text += "\r\n";
    text += crLfLines(windows1252ToUtf8(body));
    return {sender, recipients, text};
}

}  // namespace dvx
