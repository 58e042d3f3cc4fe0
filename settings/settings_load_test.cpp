#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "platform/testing/scratch.h"
#include "receiver/server.h"
#include "settings/settings.h"
#include "settings/testing/settings_home.h"

namespace {

struct LoadCase {
    const char* name;
    std::string bytes;  // The whole settings file.
    int32_t port;
    WindowSettings window;
};

// The five fields in order, so that a failure shows them all.
std::array<int32_t, 5> Fields(const WindowSettings& s) {
    return {s.x, s.y, s.width, s.height, s.maximized};
}

using LoadSettingsTest = SettingsHome;

// The reading rules and the number rules together: what each file gives.
TEST_F(LoadSettingsTest, FileContentsAndTheValuesTheyGive) {
    const LoadCase cases[] = {
        {"saved file", "8088\r\n100\r\n50\r\n480\r\n640\r\n0\r\n", 8088, {100, 50, 480, 640, 0}},
        {"LF alone, negative numbers",
         "-5\n-1200\n-30\n800\n600\n1\n",
         -5,
         {-1200, -30, 800, 600, 1}},
        {"trailing text ignored", "8088abc\r\n12 34\r\n7px\r\n", 8088, {12, 7, 0, 0, 0}},
        {"leading white space skipped", "  8088abc\r\n\t 9\r\n\v\f3\r\n", 8088, {9, 3, 0, 0, 0}},
        {"hexadecimal",
         "$1F98\r\n$ff\r\n-$10\r\n$FFFFFFFF\r\n$\r\n$g\r\n",
         8088,
         {255, -16, -1, 0, 0}},
        {"binary", "%101\r\n%102\r\n-%1\r\n%\r\n%2\r\n", 5, {2, -1, 0, 0, 0}},
        {"sign without digits", "+ 5\r\n-\r\n+\r\n- 5\r\n+7\r\n", 0, {0, 0, 0, 7, 0}},
        {"32-bit wrap-around",
         "4294975384\r\n2147483648\r\n-2147483648\r\n4294967295\r\n",
         8088,
         {-2147483648, -2147483648, -1, 0, 0}},
        {"ports passed on unchanged", "70000\r\n", 70000, {0, 0, 0, 0, 0}},
        {"port 0", "0\r\n", 0, {0, 0, 0, 0, 0}},
        {"CR inside a line", "1\r2\r\n3\r\r4\r\n", 12, {34, 0, 0, 0, 0}},
        {"empty file", "", 0, {0, 0, 0, 0, 0}},
        {"port line alone", "8089\r\n", 8089, {0, 0, 0, 0, 0}},
        {"port line without line end", "8090", 8090, {0, 0, 0, 0, 0}},
        {"empty and space lines", "\r\n   \r\n\r\n5\r\n", 0, {0, 0, 5, 0, 0}},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF"
         "8088\r\n1\r\n2\r\n3\r\n4\r\n1\r\n",
         0,
         {1, 2, 3, 4, 1}},
        // "8088" CR LF "100" CR LF in UTF-16: every NUL ends a line.
        {"UTF-16 byte-order mark",
         std::string("\xFF\xFE"
                     "8\0"
                     "0\0"
                     "8\0"
                     "8\0"
                     "\r\0"
                     "\n\0"
                     "1\0"
                     "0\0"
                     "0\0"
                     "\r\0"
                     "\n\0",
                     24),
         0,
         {0, 8, 8, 0, 0}},
        {"NUL in a line", std::string("80\08\r\n5\r\n", 9), 80, {8, 5, 0, 0, 0}},
        {"more than six lines", "1\n2\n3\n4\n5\n6\n7\n8\n", 1, {2, 3, 4, 5, 6}},
        {"bytes above 127 are no white space",
         "\xA0"
         "5\r\n\x85"
         "6\r\n",
         0,
         {0, 0, 0, 0, 0}},
    };
    std::filesystem::create_directories(SettingsFolderPath());
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(SettingsFile(), c.bytes));
        serverPort = 8088;
        const std::optional<WindowSettings> loaded = LoadSettings();
        ASSERT_TRUE(loaded.has_value());
        EXPECT_EQ(serverPort, c.port);
        EXPECT_EQ(Fields(*loaded), Fields(c.window));
    }
}

}  // namespace
