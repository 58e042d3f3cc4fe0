#include "settings/settings_save.h"

#include "app/main_window.h"
#include "platform/gui/gadgets.h"
#include "receiver/server.h"
#include "settings/settings.h"
#include "settings/settings_location.h"

bool WriteSettingsLines(FileStream* stream) {
    if (!WriteLine(stream, IntText(serverPort))) return false;
    if (window == nullptr) return true;
    return WriteLine(stream, IntText(WindowX(window))) &&
           WriteLine(stream, IntText(WindowY(window))) &&
           WriteLine(stream, IntText(WindowWidth(window))) &&
           WriteLine(stream, IntText(WindowHeight(window))) &&
           WriteLine(stream, IntText(WindowMaximized(window) != 0 ? 1 : 0));
}

int32_t WriteSettingsFile(const Text& path, SettingsWriter writer) {
    FileStream* stream = OpenReplacement(path);
    if (stream == nullptr) return 0;
    if (!writer(stream)) {
        AbandonReplacement(stream);
        return 0;
    }
    return CommitReplacement(stream) ? 1 : 0;
}

int32_t SaveSettings() { return WriteSettingsFile(SettingsFilePath(), WriteSettingsLines); }
