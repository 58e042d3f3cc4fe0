// Conversions between the program's Text and Qt's QString: both are 16-bit characters, so
// these are copies. Any thread.
#pragma once

#include <QString>

#include "platform/text.h"

QString ToQString(const Text& text);
Text ToText(const QString& text);
