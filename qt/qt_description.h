// The shared window description in Qt's types.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "field_input.h"
#include "form_description.h"

namespace zelvane {

inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QColor Colour(form::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// A field's text between Qt and the core: QString is UTF-16, as the core's
// field rule expects.
inline std::u16string_view Units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}
// The units as they are: QString::fromUtf16 would drop a leading U+FEFF as
// a byte order mark.
inline QString FromUnits(std::u16string_view units) {
    return QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
}
inline QString FromCore(std::u32string_view text) { return FromUnits(ToUtf16(text)); }

}  // namespace zelvane
