#include "notify/mail_message.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include "notify/text_encoding.h"

namespace dvx {
namespace {

// Runs the test in a fixed time zone (a POSIX rule, so no zone database is needed).
class FixedZone {
  public:
    explicit FixedZone(const char* zone) {
        if (const char* old = ::getenv("TZ")) {
            m_old = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~FixedZone() {
        m_old ? ::setenv("TZ", m_old->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> m_old;
};

const LocalDateTime kMonday{2026, 12, 7, 2, 8 * 3600 + 5 * 60 + 9.75};

TEST(MailMessage, HasTheHeadersAndCrLfLinesAndNoStoredLineBreakReachesTheHeaders) {
    FixedZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const MailMessage message =
        composeMail("alarm@station.example", {"ann@example.org", "bob@example.org"},
                    "WDVX\r\nBcc: evil@example.org Alarm",
                    "12-07-2026 08:05:09 Silence\nsecond line", kMonday, "abc.1@station.example");

    EXPECT_EQ(message.sender, "alarm@station.example");
    EXPECT_EQ(message.recipients.size(), 2u);
    EXPECT_EQ(message.text,
              "Date: Mon, 07 Dec 2026 08:05:09 +0100\r\n"
              "From: alarm@station.example\r\n"
              "To: ann@example.org,\r\n bob@example.org\r\n"
              "Subject: WDVX  Bcc: evil@example.org Alarm\r\n"
              "Message-ID: <abc.1@station.example>\r\n"
              "MIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=UTF-8\r\n"
              "Content-Transfer-Encoding: 8bit\r\n"
              "\r\n"
              "12-07-2026 08:05:09 Silence\r\nsecond line\r\n");
}

TEST(MailMessage, EightBitTextsAreSentAsUtf8) {
    FixedZone zone("UTC0");
    // "Café Sud" and "€ 5" in code page 1252: é is 0xE9, the euro sign 0x80.
    const MailMessage message = composeMail("a@b.example", {"c@d.example"}, "Caf\xE9 Sud Alarm",
                                            "\x80 5", kMonday, "x@b.example");
    EXPECT_NE(message.text.find("Date: Mon, 07 Dec 2026 08:05:09 +0000\r\n"), std::string::npos);
    EXPECT_NE(message.text.find("Subject: =?UTF-8?B?Q2Fmw6kgU3VkIEFsYXJt?=\r\n"),
              std::string::npos);
    EXPECT_NE(message.text.find("\r\n\r\n\xE2\x82\xAC 5\r\n"), std::string::npos);

    EXPECT_EQ(utf8ToWindows1252("Caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\x80"), "Caf\xE9 \x80 ?");
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8("\x81\x9F\xFF")), "\x81\x9F\xFF");
}

TEST(MailMessage, OnlyPlainAddressesAreUsable) {
    EXPECT_TRUE(isUsableAddress("ann.smith+alarm@example.org"));
    for (const char* bad :
         {"", "ann", "@example.org", "ann@", "ann@example.org\r\nRCPT TO:<x@y>",
          "ann smith@example.org", "<ann@example.org>", "a,b@example.org", "ann@ex\xE4mple.org"}) {
        EXPECT_FALSE(isUsableAddress(bad)) << bad;
    }
}

}  // namespace
}  // namespace dvx
