// File > Export Picture: the top-level diagram as an SVG or a PNG file.
#pragma once

#include <QString>

#include "drawing/Picture.h"

namespace kestrom::ui {

// Width of an exported PNG; its height follows the sheet.
inline constexpr int kExportedPngWidth = 2000;

// A name ending in ".png" (any case) gives a PNG, any other an SVG. Throws
// std::runtime_error naming the file and the reason when it cannot be written.
void WritePicture(const drawing::Picture& picture, const QString& path);

} // namespace kestrom::ui
