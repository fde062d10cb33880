// The driver program of a simulation: the generated module, the test bench's
// tables and reset search, and a loop that answers the line protocol of
// sim/Protocol.h. Standard C++ only.
#pragma once

#include <string>
#include <vector>

#include "extensions/TestBench.h"
#include "sim/Protocol.h"
#include "translation/HdlModuleWriter.h"

namespace kestrom::sim {

// A module generated for simulation: with its state port and coverage hooks.
struct SimDesign {
    std::string ModuleText;
    BenchDesign Bench; // its ModuleInclude names the module's file beside the driver
    std::vector<translation::InternalSignal> Internals;
};

// What the driver announces, but for its reset, which it finds when it starts.
Hello HelloOf(const SimDesign& design);

// The file name the driver includes the module by: MODULE.cpp.
std::string ModuleFileName(const SimDesign& design);

// The whole driver program; it includes the module as ModuleFileName.
std::string WriteDriverSource(const SimDesign& design);

} // namespace kestrom::sim
