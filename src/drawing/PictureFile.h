// The picture of a whole ASF file's top-level diagram, for the batch tool.
#pragma once

#include <string>

#include "base/Diagnostics.h"
#include "drawing/DrawnMachine.h"

namespace kestrom::drawing {

// The SVG of the file's top-level diagram, whatever the file's version;
// what could not be drawn as written is added to `problems`. Throws
// AsfError when the file cannot be read.
std::string PictureSvgOfFile(const std::string& asfPath, Diagnostics& problems);

// The same of a drawing already read and described.
std::string PictureSvgOf(const Drawing& drawing, const DrawnMachine& machine,
                         Diagnostics& problems);

} // namespace kestrom::drawing
