// Fuzzes the settings reader: the input is a settings file, read by the real LoadSettings
// (with the file layer's line reader and the number rules) from a scratch file, and compared
// with the model of settings_model.h. Its first four bytes, taken as a number, also go through
// the writer's decimal form and back, which must give the number again.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "fuzz/settings_model.h"
#include "platform/text.h"
#include "receiver/server.h"
#include "settings/settings.h"
#include "settings/settings_location.h"
#include "settings/settings_number.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// The scratch file that stands in for the settings file, removed when the fuzzer ends.
const std::string& ScratchPath() {
    static const std::string path = [] {
        std::random_device random;
        const auto name = "harkenwire-settings-fuzz-" + std::to_string(random()) + ".txt";
        std::string made = (std::filesystem::temp_directory_path() / name).string();
        std::atexit([] { std::remove(ScratchPath().c_str()); });
        return made;
    }();
    return path;
}

void WriteScratch(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    Require(file != nullptr);
    Require(size == 0 || std::fwrite(data, 1, size, file) == size);
    Require(std::fclose(file) == 0);
}

}  // namespace

int32_t serverPort = 8088;

Text SettingsFilePath() { return Latin1Text(ScratchPath()); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratch(data, size);
    serverPort = 8088;
    const std::optional<WindowSettings> loaded = LoadSettings();
    Require(loaded.has_value());

    const ModelSettings model =
        ModelFile(std::string_view(reinterpret_cast<const char*>(data), size));
    Require(serverPort == model[0]);
    Require(loaded->x == model[1] && loaded->y == model[2]);
    Require(loaded->width == model[3] && loaded->height == model[4]);
    Require(loaded->maximized == model[5]);

    if (size >= 4) {
        uint32_t bits = 0;
        std::memcpy(&bits, data, 4);
        const auto value = static_cast<int32_t>(bits);
        Require(NumberFromText(IntText(value)) == value);
    }
    return 0;
}
