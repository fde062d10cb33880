// kestrom-gen's command line: what the user asked for, or a usage error.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Error.h"
#include "extensions/Extensions.h"
#include "extensions/TestBenchGeneration.h"
#include "model/FsmModel.h"
#include "translation/HdlOptions.h"

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
    translation::HdlOptions hdl;           // --hdl and what it reads beside the file
    bool conditionAnalysis = true;         // --no-condition-analysis turns it off
    bool uncoveredInputs = false;          // --uncovered-inputs
    bool simulate = false;                 // --simulate: commands from standard input
    bool help = false;
    bool version = false;
};

// The command line cannot be used; it has no code, being no diagnostic of a
// file: the tool prints it with its usage line.
class UsageError : public Error {
public:
    explicit UsageError(std::string message) : Error({}, "", 0, 0, std::move(message)) {}
};

// Options may come before, between or after the files; "--" ends them, and a
// lone "-" is a file (standard output as OUTPUT). Throws UsageError.
Arguments ParseArguments(int argc, const char* const argv[]);

} // namespace kestrom
