// The driver program built with the system's C++ compiler and SystemC, in a
// per-user cache folder named by a hash of everything it compiles: the same
// module and driver with the same compiler and flags are built only once.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "base/Codes.h"
#include "base/Error.h"
#include "sim/DriverSource.h"

namespace kestrom::sim {

struct BuildSettings {
    std::string CacheRoot; // empty: $XDG_CACHE_HOME/kestrom/sim, else ~/.cache/kestrom/sim
    std::string Compiler;  // empty: $CXX, else c++
    const std::atomic<bool>* Cancel = nullptr;        // set: the build stops at once
    std::function<void(const std::string&)> Progress; // what the build is doing
};

struct BuiltDriver {
    std::string Program;
    std::string Folder;
    bool Reused = false; // built by an earlier run
};

// The compiler's or SystemC's failure: Output is the compiler's whole output.
class BuildError : public Error {
public:
    BuildError(std::string message, std::string output = {})
        : Error(code::kSimulationError, "", 0, 0, std::move(message)), Output(std::move(output)) {}
    std::string Output;
};

class BuildCancelled : public BuildError {
public:
    BuildCancelled() : BuildError("the build was cancelled") {}
};

// $XDG_CACHE_HOME/kestrom/sim or ~/.cache/kestrom/sim; throws BuildError
// when neither variable is set.
std::string DefaultCacheRoot();

// Throws BuildError, BuildCancelled.
BuiltDriver BuildDriver(const SimDesign& design, const BuildSettings& settings);

} // namespace kestrom::sim
