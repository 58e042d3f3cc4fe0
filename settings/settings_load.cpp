#include <optional>

#include "platform/file.h"
#include "receiver/server.h"
#include "settings/settings.h"
#include "settings/settings_location.h"
#include "settings/settings_number.h"

std::optional<WindowSettings> LoadSettings() {
    FileStream* stream = OpenRead(SettingsFilePath());
    if (stream == nullptr) return std::nullopt;
    // Past the end of the file every line reads empty, so missing lines give 0.
    serverPort = NumberFromText(ReadLine(stream));
    WindowSettings settings;
    settings.x = NumberFromText(ReadLine(stream));
    settings.y = NumberFromText(ReadLine(stream));
    settings.width = NumberFromText(ReadLine(stream));
    settings.height = NumberFromText(ReadLine(stream));
    settings.maximized = NumberFromText(ReadLine(stream));
    CloseFile(stream);
    return settings;
}
