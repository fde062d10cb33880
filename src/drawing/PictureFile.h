// The picture of a whole ASF file's top-level diagram, for the batch tool.
#pragma once

#include <string>

#include "conversion/Diagnostics.h"

namespace kestrom::drawing {

// The SVG of the file's top-level diagram, whatever the file's version;
// what could not be drawn as written is added to `problems`. Throws
// AsfError when the file cannot be read.
std::string PictureSvgOfFile(const std::string& asfPath, Diagnostics& problems);

} // namespace kestrom::drawing
