// kestrom-gen --simulate after the generation: the driver built (or found in
// the cache) and the session run on standard input and output.
#pragma once

#include <cstdio>

#include "sim/DriverSource.h"

namespace kestrom {

// 1 when the driver cannot be built or started, else the session's status.
int RunSimulation(const sim::SimDesign& design, std::FILE* err);

} // namespace kestrom
