// The program's start-up and its event loop. Main thread only.
#pragma once

#include <cstdint>
#include <optional>

#include "settings/settings.h"

// The outer rectangle that the main window opens at.
struct StartRectangle {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// Returns the default rectangle without saved settings; else the saved one, with the default
// size wherever the saved width or height is 0.
StartRectangle MainWindowRectangle(const std::optional<WindowSettings>& saved);

// Sets the title, creates the receiver's shared state, loads the settings, opens the main
// window with its menu and gadgets, starts the listener and the timer. Returns false, having
// started nothing, when the main window cannot be made.
bool OpenMainWindow();

// Runs OpenMainWindow and then the event loop, which ends only with the process. Returns only
// when the main window cannot be made.
void StartUp();

// Acts on the current event, whose kind WaitEvent gave.
void HandleEvent(int32_t kind);

// Takes events and acts on them for ever.
[[noreturn]] void RunEventLoop();
