#include "settings/email_account.h"

#include <stdexcept>

#include "common/paths.h"
#include "common/text_file.h"

namespace dvx {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether the list-input rule would read the value back changed when it is written bare.
bool needsQuotes(std::string_view value) {
    return !value.empty() && (value.find(',') != std::string_view::npos || isBlank(value.front()) ||
                              isBlank(value.back()) || value.front() == '"');
}

std::string storedForm(std::string_view value, std::string_view what) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        throw std::invalid_argument("The e-mail " + std::string(what) +
                                    " cannot be saved: it holds a line break.");
    }
    if (!needsQuotes(value)) {
        return std::string(value);
    }
    if (value.find('"') != std::string_view::npos) {
        throw std::invalid_argument(
            "The e-mail " + std::string(what) +
            " cannot be saved: it holds a double quote together with a comma, a leading double "
            "quote or blanks at its start or end, and would not read back as typed.");
    }
    return "\"" + std::string(value) + "\"";
}

}  // namespace

std::optional<EmailAccount> readEmailAccount(const Paths& paths) {
    std::optional<std::string> text = readWholeFile(paths.programFile("User.dat"));
    if (!text) {
        return std::nullopt;
    }
    ListInputReader reader(std::move(*text));
    EmailAccount account;
    account.UserName = reader.next().value_or("");
    account.Password = reader.next().value_or("");
    return account;
}

std::optional<std::string> emailAccountProblem(const EmailAccount& account) {
    try {
        storedForm(account.UserName, "user name");
        storedForm(account.Password, "password");
    } catch (const std::invalid_argument& refusal) {
        return std::string(refusal.what());
    }
    return std::nullopt;
}

void writeEmailAccount(const Paths& paths, const EmailAccount& account) {
    // Both values are checked before anything is written.
    std::vector<std::string> lines = {storedForm(account.UserName, "user name"),
                                      storedForm(account.Password, "password")};
    writeTextLines(paths.programFile("User.dat"), lines, 0600);
}

}  // namespace dvx
