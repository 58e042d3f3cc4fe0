// Where the settings live: the user's application-data folder, a folder named after the
// application title inside it, and the title plus ".txt" inside that. Paths use "\" between
// their parts; the file layer turns it into "/". Main thread only.
#pragma once

#include <cstdint>

#include "platform/text.h"

// The SpecialFolder id of the folder where applications keep their per-user data.
constexpr int32_t kAppDataFolder = 26;

// Returns SettingsFolder(), "\", the title and ".txt": the settings file. Worked out afresh on
// each call, so each call makes the folder when it is missing. When SettingsFolder() is empty
// this is "\" + title + ".txt", a file in the root folder. Never fails.
Text SettingsFilePath();
