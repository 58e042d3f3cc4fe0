#include "platform/gui/qt_text.h"

QString ToQString(const Text& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

Text ToText(const QString& text) {
    return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}
