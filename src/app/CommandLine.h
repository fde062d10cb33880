// kestrom-gen's command line: what the user asked for, or a usage error.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/FsmModel.h"

namespace kestrom {

extern const char* const kUsage;

struct Arguments {
    std::optional<Integer> processKind;
    std::vector<std::string> files; // INPUT.asf OUTPUT.cpp
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
