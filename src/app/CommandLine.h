// kestrom-gen's command line: what the user asked for, or a usage error.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "extensions/Extensions.h"
#include "extensions/TestBenchGeneration.h"
#include "model/FsmModel.h"

namespace kestrom {

extern const char* const kUsage;

struct Arguments {
    std::optional<Integer> processKind;
    Extensions extensions;
    std::vector<std::string> files;         // INPUT.asf OUTPUT.cpp (OUTPUT.cpp optional with --svg)
    std::optional<std::string> svgPath;     // --svg PICTURE.svg
    std::string diagnosticsFormat = "text"; // or "json"
    std::optional<std::string> sarifPath;
    std::optional<TestBenchRequest> bench; // --testbench and its details
    bool help = false;
    bool version = false;
};

class UsageError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Options may come before, between or after the files; "--" ends them, and a
// lone "-" is a file (standard output as OUTPUT). Throws UsageError.
Arguments ParseArguments(int argc, const char* const argv[]);

} // namespace kestrom
