#include "notify/curl_mail_transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "notify/text_encoding.h"
#include "settings/smtp_settings.h"

namespace dvx {
namespace {

struct Upload {
    const std::string& text;
    std::size_t offset = 0;
};

std::size_t readUpload(char* buffer, std::size_t size, std::size_t count, void* userData) {
    auto* upload = static_cast<Upload*>(userData);
    const std::size_t length = std::min(size * count, upload->text.size() - upload->offset);
    std::memcpy(buffer, upload->text.data() + upload->offset, length);
    upload->offset += length;
    return length;
}

// Called by libcurl for what goes over the connection: keeps the server's last refusal (a reply
// line beginning with 4 or 5), so that a failure can say what the server answered. Only the
// server's lines are looked at, never what is sent (the login).
int keepServerRefusal(CURL*, curl_infotype type, char* data, std::size_t size, void* userData) {
    if (type == CURLINFO_HEADER_IN && size > 0 && (data[0] == '4' || data[0] == '5')) {
        std::string_view line(data, size);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.remove_suffix(1);
        }
        *static_cast<std::string*>(userData) = printableText(line);
    }
    return 0;
}

// Called by libcurl while it waits; a non-zero result ends the transfer.
int checkAbandoned(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<std::atomic<bool>*>(userData)->load() ? 1 : 0;
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// The server as libcurl reads the URL, so that the decision about TLS is made on the host it
// connects to.
struct ServerAddress {
    std::string url;  // without a user name or password
    std::string host;
};

std::string urlPart(CURLU* url, CURLUPart which) {
    char* text = nullptr;
    if (curl_url_get(url, which, &text, 0) != CURLUE_OK || text == nullptr) {
        return {};
    }
    std::string part(text);
    curl_free(text);
    return part;
}

ServerAddress serverAddress(const std::string& url) {
    const std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (parsed == nullptr ||
        curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        throw MailError("the mail server \"" + withoutCredentials(url) + "\" is not a URL");
    }
    // Only the account of User.dat logs in.
    curl_url_set(parsed.get(), CURLUPART_USER, nullptr, 0);
    curl_url_set(parsed.get(), CURLUPART_PASSWORD, nullptr, 0);
    curl_url_set(parsed.get(), CURLUPART_OPTIONS, nullptr, 0);
    return {urlPart(parsed.get(), CURLUPART_URL), urlPart(parsed.get(), CURLUPART_HOST)};
}

}  // namespace

CurlMailTransport::CurlMailTransport(CurlMailOptions options) : m_options(std::move(options)) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlMailTransport::~CurlMailTransport() {
    closeSession();
    curl_global_cleanup();
}

void CurlMailTransport::send(const MailServer& server, const MailMessage& message) {
    if (m_curl == nullptr) {
        m_curl = curl_easy_init();
        if (m_curl == nullptr) {
            throw MailError("the mail library did not start");
        }
    }
    CURL* curl = static_cast<CURL*>(m_curl);
    std::unique_ptr<curl_slist, SlistDeleter> recipients;
    for (const std::string& recipient : message.recipients) {
        curl_slist* grown = curl_slist_append(recipients.get(), ("<" + recipient + ">").c_str());
        if (grown == nullptr) {
            throw MailError("out of memory");
        }
        recipients.release();
        recipients.reset(grown);
    }
    Upload upload{message.text};
    char errorText[CURL_ERROR_SIZE] = {};
    const std::string from = "<" + message.sender + ">";
    const ServerAddress address = serverAddress(server.url);
    const std::string shownUrl = withoutCredentials(server.url);
    // A password goes out under TLS only, unless it stays on this machine.
    const bool tlsRequired = !server.userName.empty() &&
                             !(m_options.loopbackLoginWithoutTls && isLoopbackHost(address.host));

    curl_easy_setopt(curl, CURLOPT_URL, address.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
                     static_cast<long>(tlsRequired ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!m_options.caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, m_options.caFile.c_str());
    }
    // An empty user name means a server that takes mail without a login.
    curl_easy_setopt(curl, CURLOPT_USERNAME,
                     server.userName.empty() ? nullptr : server.userName.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD,
                     server.userName.empty() ? nullptr : server.password.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, m_options.transferTimeoutSeconds);
    // The wait for the server's answer to the message's end has a limit of its own (120 s).
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, m_options.transferTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkAbandoned);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &m_abandoned);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    m_serverRefusal.clear();
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, keepServerRefusal);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &m_serverRefusal);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // calls keepServerRefusal, prints nothing

    const CURLcode result = curl_easy_perform(curl);
    // The handle must not keep pointers into this call's locals.
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    if (result != CURLE_OK) {
        closeSession();
        if (result == CURLE_USE_SSL_FAILED) {
            throw MailError(
                "the server does not offer TLS (STARTTLS), and the password is not sent without "
                "it. Use a server that offers STARTTLS, or smtps://.",
                shownUrl);
        }
        std::string reason = errorText[0] != '\0' ? errorText : curl_easy_strerror(result);
        if (!m_serverRefusal.empty()) {
            reason += " (the server answered \"" + m_serverRefusal + "\")";
        }
        throw MailError(reason, shownUrl);
    }
}

void CurlMailTransport::closeSession() {
    if (m_curl != nullptr) {
        curl_easy_cleanup(static_cast<CURL*>(m_curl));
        m_curl = nullptr;
    }
}

}  // namespace dvx
