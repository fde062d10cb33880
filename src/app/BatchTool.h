// kestrom-gen: one generation from the command line, for build scripts.
#pragma once

#include <cstdio>
#include <string>

namespace kestrom {

enum ExitStatus { kExitGenerated = 0, kExitNotGenerated = 1, kExitUsage = 2 };

struct BatchStreams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

int RunBatchTool(int argc, const char* const argv[], const std::string& programDir,
                 BatchStreams streams = {});

} // namespace kestrom
