// Writing the settings file, by replacement: the lines go to a temporary file beside it, which
// is renamed over the old file only once every line is on the disk, so a crash, a kill or a
// full disk leaves the old file whole. Main thread only.
#pragma once

#include <cstdint>

#include "platform/file.h"
#include "platform/text.h"

// Writes the content of a settings file to stream; returns false as soon as a line could not
// be written.
using SettingsWriter = bool (*)(FileStream* stream);

// Writes serverPort and, while the main window exists, its recorded outer x, y, width and
// height and 1 or 0 for maximized, a line each. Returns false when a line could not be written.
bool WriteSettingsLines(FileStream* stream);

// Replaces the file at path with what writer writes. Returns 1 when the new file is in place.
// Returns 0, with the old file as it was and nothing left behind, when path names a folder, the
// temporary file cannot be made, writer fails, or syncing or renaming fails.
int32_t WriteSettingsFile(const Text& path, SettingsWriter writer);
