// Where the current user's applications keep their settings: the per-user configuration folder
// of the freedesktop base-directory rules. Main thread only, since it reads the environment.
#pragma once

#include "platform/text.h"

// Returns $XDG_CONFIG_HOME when it is set and an absolute path, else $HOME/.config when HOME is
// set and not empty, else the home folder that the user database gives for the current user
// followed by "/.config"; trailing "/" removed. The folder, and any of its parents, is made
// with mode 0700 when missing, but the path is returned whether or not that worked. Each byte
// of the path is one character of the same code. Returns empty text when no home is known.
Text UserConfigFolder();
