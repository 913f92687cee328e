#include "settings/session_autostart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "common/io_error.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// Sets an environment variable for one scope and puts back what was there.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// The entry goes under $XDG_CONFIG_HOME, starts the program even from a path with blanks and
// quotes, passes the desktop tools' check, and goes again; a folder that cannot be made is an
// error, not a silent "off".
TEST(SessionAutostart, WritesAValidEntryRemovesItAndReportsAFailedWrite) {
    test::TempFolder folder;
    {
        ScopedEnv config("XDG_CONFIG_HOME", folder.path().string());
        SessionAutostart autostart = SessionAutostart::forThisProgram();
        EXPECT_EQ(autostart.entry(), folder.path() / "autostart" / "org.dorvexia.Dorvexia.desktop");
        EXPECT_FALSE(autostart.enabled());

        SessionAutostart odd(autostart.entry(), "/opt/my \"radio\"/dorvexia");
        odd.enable();
        ASSERT_TRUE(odd.enabled());
        const std::string text = test::fileText(odd.entry());
        EXPECT_NE(text.find("\nExec=\"/opt/my \\\\\"radio\\\\\"/dorvexia\"\n"), std::string::npos)
            << text;
        if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
            const std::string check = "desktop-file-validate '" + odd.entry().string() + "'";
            EXPECT_EQ(std::system(check.c_str()), 0) << text;
        }
        odd.disable();
        EXPECT_FALSE(odd.enabled());
        EXPECT_NO_THROW(odd.disable());
    }

    test::writeFile(folder.path() / "not-a-folder", "x");
    ScopedEnv config("XDG_CONFIG_HOME", (folder.path() / "not-a-folder").string());
    const SessionAutostart blocked = SessionAutostart::forThisProgram();
    EXPECT_THROW(blocked.enable(), IoError);
    EXPECT_FALSE(blocked.enabled());
}

}  // namespace
}  // namespace dvx
