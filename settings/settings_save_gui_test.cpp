#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "platform/gui/gadgets.h"
#include "platform/testing/scratch.h"
#include "receiver/server.h"
#include "settings/settings.h"
#include "settings/testing/settings_home.h"

namespace {

// The main window of one test; gadgets live until the process ends, so it is only forgotten.
class SaveSettingsTest : public SettingsHome {
  protected:
    void OpenWindow(int32_t x, int32_t y, int32_t width, int32_t height) {
        window = CreateWindow(u"Harkenwire", x, y, width, height);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        window = nullptr;
        SettingsHome::TearDown();
    }
};

TEST_F(SaveSettingsTest, TheExampleFileByteForByte) {
    OpenWindow(100, 50, 480, 640);
    EXPECT_EQ(SaveSettings(), 1);
    const std::string bytes = ReadFileBytes(SettingsFile());
    EXPECT_EQ(bytes, "8088\r\n100\r\n50\r\n480\r\n640\r\n0\r\n");
    EXPECT_EQ(bytes.size(), 28u);
}

TEST_F(SaveSettingsTest, NegativeCoordinatesAndOddPortsSurviveARestart) {
    OpenWindow(-1200, -30, 800, 600);
    serverPort = -5;
    ASSERT_EQ(SaveSettings(), 1);

    serverPort = 8088;
    const std::optional<WindowSettings> loaded = LoadSettings();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(serverPort, -5);
    EXPECT_EQ(loaded->x, -1200);
    EXPECT_EQ(loaded->y, -30);
    EXPECT_EQ(loaded->width, 800);
    EXPECT_EQ(loaded->height, 600);
    EXPECT_EQ(loaded->maximized, 0);
}

TEST_F(SaveSettingsTest, AMaximizedWindowSavesItsMaximizedFrameAndOne) {
    OpenWindow(100, 50, 480, 640);
    MaximizeWindow(window);
    ASSERT_EQ(WindowMaximized(window), 1);
    EXPECT_TRUE(WindowWidth(window) != 480 || WindowHeight(window) != 640);  // Not the old frame.
    EXPECT_EQ(SaveSettings(), 1);

    const std::string expected = "8088\r\n" + std::to_string(WindowX(window)) + "\r\n" +
                                 std::to_string(WindowY(window)) + "\r\n" +
                                 std::to_string(WindowWidth(window)) + "\r\n" +
                                 std::to_string(WindowHeight(window)) + "\r\n1\r\n";
    EXPECT_EQ(ReadFileBytes(SettingsFile()), expected);
}

TEST_F(SaveSettingsTest, LinesAfterTheSixthAreGoneAfterASave) {
    std::filesystem::create_directories(SettingsFolderPath());
    ASSERT_TRUE(WriteFileBytes(SettingsFile(), "8091\n1\n2\n300\n400\n0\nextra\n8\n"));
    const std::optional<WindowSettings> loaded = LoadSettings();
    ASSERT_TRUE(loaded.has_value());
    OpenWindow(loaded->x, loaded->y, loaded->width, loaded->height);

    EXPECT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "8091\r\n1\r\n2\r\n300\r\n400\r\n0\r\n");
}

}  // namespace
