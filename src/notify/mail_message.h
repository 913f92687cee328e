#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"

namespace dvx {

// One alarm message as it goes to the mail server: the envelope and the whole RFC 5322 text.
struct MailMessage {
    std::string sender;
    std::vector<std::string> recipients;
    std::string text;  // headers and body, UTF-8, every line ended by CR LF
};

// Whether the address can stand in the envelope and the To header: it holds an "@" with text
// on both sides, and no blank, control character or header punctuation (<>,;:"()[]\), and no
// 8-bit character.
bool isUsableAddress(std::string_view address);

// Builds the message: Date, From, To (one address a line), Subject, Message-ID, MIME-Version
// and Content-Type text/plain; charset=UTF-8, then the body. Subject and body come from the
// 8-bit texts of the data files and are converted from code page 1252 to UTF-8; a line break
// in the subject becomes a blank, so a stored text never adds a header; the body's line ends
// become CR LF. A subject that is not plain ASCII is carried as RFC 2047 encoded words.
// `messageId` is the part between "<" and ">".
MailMessage composeMail(const std::string& sender, const std::vector<std::string>& recipients,
                        std::string_view subject, std::string_view body, const LocalDateTime& now,
                        const std::string& messageId);

// "Sun, 06 Dec 2026 08:54:18 +0100": the local time with the zone offset the system has for it.
std::string rfc5322Date(const LocalDateTime& now);

}  // namespace dvx
