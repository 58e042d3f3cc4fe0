#include "platform/user_folder.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// A scratch folder and the two variables the rules read, given back as they were afterwards.
class UserFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "harkenwire-user-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch_ = pattern;
        savedConfigHome_ = Saved("XDG_CONFIG_HOME");
        savedHome_ = Saved("HOME");
    }
    void TearDown() override {
        Set("XDG_CONFIG_HOME", savedConfigHome_);
        Set("HOME", savedHome_);
        fs::remove_all(scratch_);
    }

    static std::optional<std::string> Saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Set(const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    // "@" at the start of a value stands for the scratch folder.
    std::optional<std::string> InScratch(const char* value) const {
        if (value == nullptr) return std::nullopt;
        std::string text = value;
        if (text.starts_with("@")) text = scratch_ + text.substr(1);
        return text;
    }

    std::string scratch_;
    std::optional<std::string> savedConfigHome_;
    std::optional<std::string> savedHome_;
};

fs::perms Mode(const std::string& path) { return fs::status(path).permissions() & fs::perms::all; }

struct FolderCase {
    const char* name;
    const char* configHome;  // Null: unset.
    const char* home;        // Null: unset.
    const char* expected;
};

TEST_F(UserFolderTest, FollowsTheBaseDirectoryRulesAndMakesTheFolder) {
    const FolderCase cases[] = {
        {"config home absolute", "@/config", "@/home", "@/config"},
        {"config home with missing parents", "@/a/b/c", "@/home", "@/a/b/c"},
        {"config home with trailing slashes", "@/config//", "@/home", "@/config"},
        {"config home relative is ignored", "relative/config", "@/home", "@/home/.config"},
        {"config home empty is ignored", "", "@/home", "@/home/.config"},
        {"config home unset", nullptr, "@/home", "@/home/.config"},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(scratch_);
        fs::create_directory(scratch_);
        Set("XDG_CONFIG_HOME", InScratch(c.configHome));
        Set("HOME", InScratch(c.home));
        const std::string expected = *InScratch(c.expected);

        EXPECT_EQ(UserConfigFolder(), Latin1Text(expected));
        EXPECT_TRUE(fs::is_directory(expected));
        EXPECT_EQ(Mode(expected), fs::perms::owner_all);
    }
    EXPECT_FALSE(fs::exists("relative"));
}

TEST_F(UserFolderTest, LeavesAnExistingFolderAlone) {
    const std::string config = scratch_ + "/config";
    fs::create_directory(config);
    fs::permissions(config, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    Set("XDG_CONFIG_HOME", config);

    EXPECT_EQ(UserConfigFolder(), Latin1Text(config));
    EXPECT_EQ(Mode(config), fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(UserFolderTest, PathBytesBecomeCharactersOneForOne) {
    const std::string config = scratch_ + "/Gr\xc3\xbc\xc3\x9f";  // UTF-8 on the disk.
    Set("XDG_CONFIG_HOME", config);
    const Text folder = UserConfigFolder();
    EXPECT_EQ(folder.substr(folder.size() - 6), Text(u"Gr\u00c3\u00bc\u00c3\u009f"));
    EXPECT_TRUE(fs::is_directory(config));
}

TEST_F(UserFolderTest, WithoutHomeTheUserDatabaseAnswers) {
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    const std::string expected = std::string(user->pw_dir) + "/.config";
    // Never make a folder in the real home: only check when it is there already.
    if (!fs::is_directory(expected)) GTEST_SKIP() << expected << " is missing";
    Set("XDG_CONFIG_HOME", std::nullopt);
    Set("HOME", std::string());
    EXPECT_EQ(UserConfigFolder(), Latin1Text(expected));
}

}  // namespace
