#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/scratch.h"
#include "receiver/server.h"
#include "settings/settings.h"
#include "settings/settings_save.h"
#include "settings/testing/settings_home.h"

namespace {

namespace fs = std::filesystem;

using SettingsLocationTest = SettingsHome;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST_F(SettingsLocationTest, OnlyTheApplicationDataIdHasAFolder) {
    EXPECT_EQ(SpecialFolder(kAppDataFolder), Latin1Text(ConfigFolder()));
    EXPECT_EQ(SpecialFolder(0), Text());
    EXPECT_EQ(SpecialFolder(28), Text());
}

TEST_F(SettingsLocationTest, FirstRunMakesTheFolderAtLoadAndTheFileAtSave) {
    const Text folder = Latin1Text(ConfigFolder()) + u"\\Harkenwire";
    EXPECT_EQ(SettingsFilePath(), folder + u"\\Harkenwire.txt");
    EXPECT_TRUE(fs::is_directory(SettingsFolderPath()));

    fs::remove_all(ConfigFolder());
    EXPECT_FALSE(LoadSettings().has_value());
    EXPECT_EQ(serverPort, 8088);
    EXPECT_TRUE(fs::is_directory(SettingsFolderPath()));
    EXPECT_FALSE(fs::exists(SettingsFile()));

    fs::remove_all(ConfigFolder());
    EXPECT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "8088\r\n");  // No window: the port alone.
    EXPECT_EQ(SettingsFolder(), folder);
}

TEST_F(SettingsLocationTest, AFileInTheFolderPlaceSendsBothOperationsToTheRoot) {
    fs::create_directories(ConfigFolder());
    ASSERT_TRUE(WriteFileBytes(SettingsFolderPath(), "not a folder"));

    EXPECT_EQ(SettingsFolder(), Text());
    // Both LoadSettings and SaveSettings use this path; the root folder itself is not touched.
    EXPECT_EQ(SettingsFilePath(), Text(u"\\Harkenwire.txt"));
    EXPECT_EQ(ReadFileBytes(SettingsFolderPath()), "not a folder");
}

TEST_F(SettingsLocationTest, AFolderInTheFilePlaceGivesNothingAndIsNotWritten) {
    fs::create_directories(SettingsFile());
    serverPort = 7000;

    EXPECT_FALSE(LoadSettings().has_value());
    EXPECT_EQ(serverPort, 7000);
    EXPECT_EQ(SaveSettings(), 0);
    EXPECT_TRUE(fs::is_directory(SettingsFile()));
    EXPECT_TRUE(fs::is_empty(SettingsFile()));
    EXPECT_EQ(Names(SettingsFolderPath()), std::vector<std::string>{"Harkenwire.txt"});
}

TEST_F(SettingsLocationTest, AReadOnlyFileIsReplaced) {
    fs::create_directories(SettingsFolderPath());
    ASSERT_TRUE(WriteFileBytes(SettingsFile(), "1\r\n2\r\n3\r\n4\r\n5\r\n0\r\n"));
    fs::permissions(SettingsFile(), fs::perms::owner_read | fs::perms::group_read);
    serverPort = 9000;

    EXPECT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "9000\r\n");
    EXPECT_EQ(Names(SettingsFolderPath()), std::vector<std::string>{"Harkenwire.txt"});
}

// Writes the first line, then fails as a full disk would.
bool WriterThatFails(FileStream* stream) {
    WriteLine(stream, u"1234");
    return false;
}

TEST_F(SettingsLocationTest, AnInterruptedSaveLeavesTheOldFileWhole) {
    const std::string old = "8088\r\n100\r\n50\r\n480\r\n640\r\n0\r\n";
    fs::create_directories(SettingsFolderPath());
    ASSERT_TRUE(WriteFileBytes(SettingsFile(), old));

    EXPECT_EQ(WriteSettingsFile(SettingsFilePath(), WriterThatFails), 0);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), old);
    EXPECT_EQ(Names(SettingsFolderPath()), std::vector<std::string>{"Harkenwire.txt"});

    EXPECT_EQ(WriteSettingsFile(SettingsFilePath(), WriteSettingsLines), 1);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "8088\r\n");
}

}  // namespace
