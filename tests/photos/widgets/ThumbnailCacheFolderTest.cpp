#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <optional>
#include <string>

#include "photos/widgets/ThumbnailCache.h"

namespace {

// Sets or unsets an environment variable for the lifetime of the object.
class CEnvironment {
public:
    CEnvironment(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = ::getenv(name)) m_old = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~CEnvironment()
    {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// With HOME unset thumbnails used to go to "/.cache": the account's home folder is used instead.
TEST(ThumbnailCacheFolderTest, FollowsTheVariablesAndFallsBackToTheAccountsHome)
{
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    const QString accountCache =
        QFile::decodeName(account->pw_dir) + QStringLiteral("/.cache/thumbnails/normal/");
    const struct {
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        QString folder;
    } cases[] = {
        {"/x/cache", "/h", QStringLiteral("/x/cache/thumbnails/normal/")},
        {"relative", "/h", QStringLiteral("/h/.cache/thumbnails/normal/")},
        {std::nullopt, "/h/", QStringLiteral("/h//.cache/thumbnails/normal/")},
        {std::nullopt, std::nullopt, accountCache},
        {std::nullopt, "", accountCache},
        {std::nullopt, "relative", accountCache},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.home.value_or("(unset)"));
        CEnvironment xdg("XDG_CACHE_HOME", c.xdg);
        CEnvironment home("HOME", c.home);
        const QString folder = CThumbnailCache::Directory();
        EXPECT_EQ(folder, c.folder);
        EXPECT_FALSE(folder.startsWith(QStringLiteral("/.cache")));
    }
}

}  // namespace
