// The settings store: the port and the main window's outer rectangle and maximized state,
// kept in a six-line text file in the user's settings folder. Every failure is silent and ends
// in a fallback value. Main thread only.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text.h"

// The saved window state.
struct WindowSettings {
    int32_t x = 0;          // Left edge of the outer frame, screen pixels.
    int32_t y = 0;          // Top edge of the outer frame.
    int32_t width = 0;      // Outer width, frame included.
    int32_t height = 0;     // Outer height, frame included.
    int32_t maximized = 0;  // Not 0: the window was maximized.
};

// Returns the path of a well-known folder of the current user (26: where applications keep
// their per-user data), or empty text when there is none.
Text SpecialFolder(int32_t id);

// Returns the settings folder's path, SpecialFolder(26) + "\" + the application title, made
// when missing, or empty text when it is blocked by a regular file or cannot be made.
Text SettingsFolder();

// Reads the settings file. Returns no record when it cannot be opened; otherwise sets serverPort
// from the first line and returns the five window fields of the next lines, 0 where a line is
// missing or not a number.
std::optional<WindowSettings> LoadSettings();

// Writes the port and, while the main window exists, its rectangle and maximized state, each
// line ending in CR LF. The new file replaces the old one whole: until it is complete on the
// disk the old file stays as it was, so a crash or a full disk never leaves a part. A read-only
// file is replaced too. Returns 1 when the new file is in place, else 0 (a folder in the file's
// place, no folder or no access, a write error), the old file then untouched.
int32_t SaveSettings();
