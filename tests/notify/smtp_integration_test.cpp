// Alarm mail through libcurl to a real SMTP server on loopback (Debian's python3-aiosmtpd).
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "loopback_smtp_server.h"
#include "notify/contact_book.h"
#include "notify/curl_mail_transport.h"
#include "notify/email_notifier.h"
#include "notify/mail_message.h"
#include "notify_rig.h"
#include "settings/email_account.h"
#include "settings/smtp_settings.h"

namespace dvx {
namespace {

using test::contact;
using test::LoopbackSmtpServer;

// A throw-away certificate for 127.0.0.1, made by openssl for one test.
struct TestCertificate : test::CertificateFiles {
    explicit TestCertificate(const std::filesystem::path& folder)
        : CertificateFiles{folder / "cert.pem", folder / "key.pem"} {
        const std::string certText = cert.string();
        const std::string keyText = key.string();
        const char* argv[] = {"openssl",
                              "req",
                              "-x509",
                              "-newkey",
                              "ec",
                              "-pkeyopt",
                              "ec_paramgen_curve:prime256v1",
                              "-nodes",
                              "-days",
                              "1",
                              "-subj",
                              "/CN=127.0.0.1",
                              "-addext",
                              "subjectAltName=IP:127.0.0.1",
                              "-keyout",
                              keyText.c_str(),
                              "-out",
                              certText.c_str(),
                              nullptr};
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        int status = -1;
        if (::posix_spawnp(&pid, "openssl", &actions, nullptr, const_cast<char**>(argv), environ) ==
            0) {
            ::waitpid(pid, &status, 0);
        }
        ::posix_spawn_file_actions_destroy(&actions);
        made = status == 0 && std::filesystem::exists(cert);
    }
    bool made = false;
};

// A loopback socket bound to a free port: listening but never answering, or closed again so
// that nothing listens on its port.
struct LoopbackSocket {
    explicit LoopbackSocket(bool listening) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        if (listening) {
            ::listen(fd, 4);
        } else {
            ::close(fd);
            fd = -1;
        }
    }
    ~LoopbackSocket() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int fd = -1;
    int port = 0;
};

struct SmtpRig : test::NotifyRig {
    LoopbackSmtpServer server{folder.path() / "server", "alarm", "secret"};
    RecordFile addressBook{paths.dataFile("AddressBook.dat"), kAddressBookFormat.recordLength};
    ContactBook book{addressBook, kAddressBookFormat};
    EmailAccount account{"alarm", "secret"};
    CurlMailTransport transport;
    EmailNotifier notifier{clock, paths, addressBook, account, log, errors, transport};

    explicit SmtpRig(CurlMailOptions options = {}) : transport(std::move(options)) {
        std::filesystem::create_directories(paths.programFolder());
        saveSmtpSettings(
            paths, {"smtp://127.0.0.1:" + std::to_string(server.port), "dorvexia@station.example"});
        book.write(1, contact("Ann", "ann@example.org", kScheduleAlways));
    }
    // Times SendEmail: it must hand the message over and return at once.
    double timedSend(const std::string& text) {
        const auto start = std::chrono::steady_clock::now();
        notifier.SendEmail("WDVX Alarm", text);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    void settle(double seconds) {
        notifier.waitForWorker();
        clock.advanceSeconds(seconds);
        notifier.waitForWorker();
        clock.advanceSeconds(0.5);
    }
};

TEST(SmtpIntegration, AnAlarmSendsOneMessageToTheDueAddressesAndASecondOneOverTheSameSession) {
    SmtpRig rig;
    ASSERT_NE(rig.server.port, 0) << "the loopback SMTP server did not start";
    ContactEntry monday = contact("Sam", "sam@example.org", kScheduleSometimes);
    monday.DayOn[2] = '1';
    monday.StartTime[2] = 8 * 3600;
    monday.StopTime[2] = 17 * 3600;
    rig.book.write(2, contact("Ned", "ned@example.org", kScheduleNever));
    rig.book.write(3, contact("Del", "del@example.org", kScheduleAlways));
    rig.book.markDeleted(3);
    rig.book.write(4, monday);

    EXPECT_LT(rig.timedSend("12-07-2026 10:00:00 Silence"), 0.2);
    rig.settle(2);
    rig.timedSend("12-07-2026 10:00:02 End Fill");
    rig.settle(5);

    EXPECT_TRUE(rig.errors.shown.empty()) << rig.errors.shown[0].second;
    const std::vector<std::string> messages = rig.server.messages();
    ASSERT_EQ(messages.size(), 2u);
    const std::string head = messages[0].substr(0, messages[0].find('\n'));
    const std::string peer = head.substr(0, head.find(" login"));
    EXPECT_EQ(head, peer +
                        " login alarm from dorvexia@station.example to ann@example.org "
                        "sam@example.org");
    EXPECT_EQ(messages[1].rfind(peer + " login alarm", 0), 0u) << "a second connection";
    EXPECT_NE(messages[0].find("\r\nSubject: WDVX Alarm\r\n"), std::string::npos);
    EXPECT_NE(messages[0].find("\r\nTo: ann@example.org,\r\n sam@example.org\r\n"),
              std::string::npos);
    EXPECT_NE(messages[0].find("\r\n\r\n12-07-2026 10:00:00 Silence\r\n"), std::string::npos);
    EXPECT_NE(messages[1].find("\r\n\r\n12-07-2026 10:00:02 End Fill\r\n"), std::string::npos);
}

TEST(SmtpIntegration, EachRecipientIsLoggedAsSentOrFailedOnceTheServerHasAnswered) {
    SmtpRig rig;
    ASSERT_NE(rig.server.port, 0) << "the loopback SMTP server did not start";
    const std::string padding(24, ' ');  // of ann@example.org to the field's 39 characters

    // A refused login: nothing is sent, and the log says so.
    rig.account.Password = "wrong";
    EXPECT_LT(rig.timedSend("12-07-2026 10:00:00 Silence"), 0.2);
    EXPECT_EQ(rig.todaysLog(), "") << "logged before the server answered";
    rig.settle(0.5);
    ASSERT_EQ(rig.errors.shown.size(), 1u);
    EXPECT_EQ(rig.errors.shown[0].second.rfind("The alarm e-mail could not be sent through smtp://"
                                               "127.0.0.1:",
                                               0),
              0u);
    EXPECT_NE(rig.errors.shown[0].second.find("Login denied"), std::string::npos)
        << rig.errors.shown[0].second;
    const std::string loginDenied =
        "Email failed--> ann@example.org  Login denied (the server answered \"535 5.7.8 "
        "Authentication credentials invalid\")";
    EXPECT_EQ(rig.logEntries(), std::vector<std::string>{loginDenied});

    // A recipient the server refuses: the message goes to nobody, and both are logged failed.
    rig.account.Password = "secret";
    rig.book.write(2, contact("Nat", "nobody@example.org", kScheduleAlways));
    rig.timedSend("12-07-2026 10:00:01 Silence");
    rig.settle(0.5);
    // Deleted again, the next message, in a new session, goes out.
    rig.book.markDeleted(2);
    rig.timedSend("12-07-2026 10:00:02 Silence");
    rig.settle(6);
    EXPECT_EQ(rig.server.messages().size(), 1u);

    // A port nobody listens on: the connection is refused at once.
    const int closedPort = LoopbackSocket(false).port;
    saveSmtpSettings(
        rig.paths, {"smtp://127.0.0.1:" + std::to_string(closedPort), "dorvexia@station.example"});
    EXPECT_LT(rig.timedSend("12-07-2026 10:00:09 Silence"), 0.2);
    rig.settle(0.5);
    ASSERT_EQ(rig.errors.shown.size(), 3u);
    EXPECT_NE(rig.errors.shown[2].second.find(std::to_string(closedPort)), std::string::npos);

    const std::string refusedRecipient =
        "  RCPT failed: 550 (the server answered \"550 5.1.1 No such mailbox here\")";
    const std::vector<std::string> entries = rig.logEntries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(
        std::vector<std::string>(entries.begin(), entries.begin() + 4),
        (std::vector<std::string>{loginDenied, "Email failed--> ann@example.org" + refusedRecipient,
                                  "Email failed--> nobody@example.org" + refusedRecipient,
                                  "Email--> ann@example.org" + padding}));
    EXPECT_EQ(entries[4].rfind("Email failed--> ann@example.org  Failed to connect to 127.0.0.1 "
                               "port " +
                                   std::to_string(closedPort),
                               0),
              0u)
        << entries[4];
}

// The server takes the message in but never answers it: the send gives up after its time limit,
// the failure is logged and shown, and the next alarm goes out over a new connection.
TEST(SmtpIntegration, AServerThatStallsMidMessageIsGivenUpAndTheNextAlarmStillGoesOut) {
    SmtpRig rig({{}, true, 2});
    ASSERT_NE(rig.server.port, 0) << "the loopback SMTP server did not start";
    rig.book.write(2, contact("Sid", "stall@example.org", kScheduleAlways));
    EXPECT_LT(rig.timedSend("12-07-2026 10:00:00 Silence"), 0.2);
    const auto start = std::chrono::steady_clock::now();
    rig.settle(0.5);
    // Given up after its own limit of 2 s, not libcurl's 120 s for an answer.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30);
    ASSERT_EQ(rig.errors.shown.size(), 1u);
    EXPECT_NE(rig.errors.shown[0].second.find("server response timeout"), std::string::npos)
        << rig.errors.shown[0].second;
    const std::vector<std::string> entries = rig.logEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].rfind("Email failed--> stall@example.org  server response timeout", 0), 0u)
        << entries[1];

    rig.book.markDeleted(2);
    rig.timedSend("12-07-2026 10:00:05 Silence");
    rig.settle(6);
    EXPECT_EQ(rig.server.messages().size(), 1u);
    EXPECT_EQ(rig.logEntries().size(), 3u);
}

TEST(SmtpIntegration, EndingTheProgramDoesNotWaitForAServerThatNeverAnswers) {
    test::NotifyRig rig;
    LoopbackSocket silent(true);
    std::filesystem::create_directories(rig.paths.programFolder());
    saveSmtpSettings(rig.paths, {"smtp://127.0.0.1:" + std::to_string(silent.port), "a@b.example"});
    RecordFile addressBook{rig.paths.dataFile("AddressBook.dat"), kAddressBookFormat.recordLength};
    ContactBook(addressBook, kAddressBookFormat)
        .write(1, contact("Ann", "ann@example.org", kScheduleAlways));
    EmailAccount account{"alarm", "secret"};
    std::chrono::steady_clock::time_point start;
    {
        CurlMailTransport transport;
        EmailNotifier notifier{rig.clock, rig.paths,  addressBook, account,
                               rig.log,   rig.errors, transport};
        notifier.SendEmail("WDVX Alarm", "12-07-2026 10:00:00 Silence");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // connected, waiting
        start = std::chrono::steady_clock::now();
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3);
}

TEST(SmtpIntegration, APasswordGoesToAServerElsewhereOnlyOverAVerifiedTlsConnection) {
    test::NotifyRig rig;
    const TestCertificate certificate(rig.folder.path());
    ASSERT_TRUE(certificate.made) << "openssl could not make a certificate";
    LoopbackSmtpServer plain{rig.folder.path() / "plain", "alarm", "secret"};
    LoopbackSmtpServer secure{rig.folder.path() / "secure", "alarm", "secret", &certificate};
    ASSERT_NE(plain.port, 0) << "the loopback SMTP server did not start";
    ASSERT_NE(secure.port, 0) << "the loopback SMTP server with STARTTLS did not start";
    const MailMessage message = composeMail("dorvexia@station.example", {"ann@example.org"},
                                            "WDVX Alarm", "Silence", rig.clock.now(), "1@x");
    auto sendFails = [&](CurlMailTransport& transport, const std::string& url) -> std::string {
        try {
            transport.send({url, "alarm", "secret"}, message);
        } catch (const MailError& error) {
            return error.what();
        }
        return {};
    };
    auto url = [](int port, const char* userInfo = "") {
        return std::string("smtp://") + userInfo + "127.0.0.1:" + std::to_string(port);
    };

    // Treated as a server elsewhere, one without TLS never sees the password.
    CurlMailTransport distant({certificate.cert, false});
    const std::string refused = sendFails(distant, url(plain.port));
    EXPECT_NE(refused.find("does not offer TLS (STARTTLS)"), std::string::npos) << refused;
    EXPECT_EQ(plain.logins(), "");
    EXPECT_TRUE(plain.messages().empty());

    // With STARTTLS and a certificate it trusts, the login and the message go through; a
    // password written into the URL is neither used nor shown.
    EXPECT_EQ(sendFails(distant, url(secure.port, "someone:hunter2@")), "");
    ASSERT_EQ(secure.messages().size(), 1u);
    EXPECT_NE(secure.messages()[0].find(" tls login alarm from dorvexia@station.example"),
              std::string::npos);
    EXPECT_EQ(secure.logins(), "tls alarm\n");

    // The certificate is checked: without its authority nothing is sent.
    CurlMailTransport untrusting({{}, false});
    const std::string unverified = sendFails(untrusting, url(secure.port));
    EXPECT_FALSE(unverified.empty());
    EXPECT_EQ(secure.messages().size(), 1u);
    const std::string unreachable =
        sendFails(untrusting, url(LoopbackSocket(false).port, "someone:hunter2@"));
    EXPECT_EQ(unreachable.find("hunter2"), std::string::npos) << unreachable;
    EXPECT_EQ(unreachable.find("someone"), std::string::npos) << unreachable;

    // On this machine the password may go in clear text.
    CurlMailTransport local;
    EXPECT_EQ(sendFails(local, url(plain.port)), "");
    EXPECT_EQ(plain.logins(), "plain alarm\n");
}

}  // namespace
}  // namespace dvx
