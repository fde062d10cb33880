// One object line of the OBJECTS section (continuations already joined).
#pragma once

#include <optional>
#include <string_view>

#include "drawing/Drawing.h"

namespace kestrom::drawing {

// The object, or nothing when the line has no usable kind, id or parent;
// every shortcoming is added to `problems` with `line`.
std::optional<DrawnObject> ReadObjectLine(std::string_view text, int line, Diagnostics& problems);

// "state 41", "transition 546", … for messages.
std::string Describe(const DrawnObject& object);

} // namespace kestrom::drawing
