// The compiler's errors about a diagram's own texts: the module carries
// #line directives, so an error in an action or a condition names the ASF
// file and the line of its object.
#pragma once

#include <string>

#include "base/Diagnostics.h"

namespace kestrom::sim {

// "ASF:LINE:COLUMN: error: MESSAGE" lines of the output, as errors of the ASF
// line (the column, counted in the module's line, is left out); errors of
// other files and every other line are left out.
Diagnostics ErrorsOfFile(const std::string& compilerOutput, const std::string& asfPath);

} // namespace kestrom::sim
