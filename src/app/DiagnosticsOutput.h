// What kestrom-gen tells about a run, in the form its command line chose.
#pragma once

#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "base/ToolReport.h"

namespace kestrom {

// The stored choice for a run without --process. Reading it changes nothing
// on disk; a file that cannot be read adds a warning and gives a thread process.
Integer StoredProcessKind(const std::string& programDir, FileDiagnostics& diagnostics);

// Text lines or one JSON document on `err`, and the SARIF file when asked.
// Returns false when the SARIF file cannot be written; the reason is then
// reported on `err` as an error.
bool WriteDiagnostics(FileDiagnostics diagnostics, const Arguments& args, std::FILE* err);

} // namespace kestrom
