#include "support/userhome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <pwd.h>
#include <unistd.h>

namespace {

// HOME unset or empty becomes the password database's home; a HOME that is set stays.
TEST(UserHomeTest, AMissingHomeComesFromThePasswordDatabase)
{
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    const std::string databaseHome = user->pw_dir;
    const char* before = std::getenv("HOME");
    const std::string saved = before ? before : "";
    struct Case
    {
        const char* home; // nullptr: unset
        std::string expected;
    };
    const Case cases[] = {{nullptr, databaseHome}, {"", databaseHome}, {"/my/home", "/my/home"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.home ? c.home : "unset");
        if (c.home)
            setenv("HOME", c.home, 1);
        else
            unsetenv("HOME");
        SetHomeWhenMissing();
        const char* home = std::getenv("HOME");
        EXPECT_EQ(home ? std::string(home) : "(unset)", c.expected);
    }
    if (before)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");
}

} // namespace
