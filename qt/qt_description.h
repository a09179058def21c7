// The shared window description in Qt's types.
#pragma once

#include <QColor>
#include <QString>
#include <string_view>

#include "form_description.h"

namespace zelvane {

inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QColor Colour(form::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

}  // namespace zelvane
