// The settings file's reading rules, said as simply as they can be, to check the settings
// reader against.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The six numbers that a settings file holds: the port, x, y, width, height, maximized.
using ModelSettings = std::array<int32_t, 6>;

// Returns the number at the start of one line of bytes: white space (9 to 13, 32) skipped, an
// optional sign, then digits of base 16 after "$", 2 after "%", else 10, modulo 2^32; no digit
// gives 0.
int32_t ModelNumber(std::string_view line);

// Returns the six numbers of a file: lines end at LF or NUL, CRs vanish, and lines past the end
// of the file are empty.
ModelSettings ModelFile(std::string_view bytes);
