#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dvx {

class Paths;

// The account alarm mail logs on with, kept in the program folder's User.dat: two lines ended
// by CR LF, the user name and the password.
struct EmailAccount {
    std::string UserName;
    std::string Password;
};

// Shown in the error window when start-up finds no User.dat.
inline constexpr std::string_view kEmailAccountMissingMessage =
    "Email user name and password not found.  Click Setup then My Preferences and enter User "
    "name and user password.";

// Reads User.dat with the list-input rule (a value ends at a comma or a line end; a quoted
// value loses its quotes), so a hand-written "user,name" line gives the user name "user" and
// the password "name". Nothing when the file does not exist. Throws IoError.
std::optional<EmailAccount> readEmailAccount(const Paths& paths);

// The message writeEmailAccount would refuse the account with, or nothing when it can be
// stored; lets a caller check every value before it writes any file.
std::optional<std::string> emailAccountProblem(const EmailAccount& account);

// Rewrites User.dat whole, readable and writable by its owner only. A value that the
// list-input rule would read back changed (a comma, blanks at either end, a leading double
// quote) is written in double quotes. Throws std::invalid_argument, writing nothing, for a
// value that cannot come back as typed: one with a line break, or one that needs the quotes
// and holds a double quote itself. Throws IoError.
void writeEmailAccount(const Paths& paths, const EmailAccount& account);

}  // namespace dvx
