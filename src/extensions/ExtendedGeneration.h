// One generation with the chosen extensions, as the batch tool and the
// window's Generate command run it. With every extension off the file is the
// plain generator's, byte for byte; the warnings about unwritten actions and
// equal priorities come in every generation.
#pragma once

#include <string>

#include "conversion/Diagnostics.h"
#include "extensions/Extensions.h"
#include "model/FsmModel.h"

namespace kestrom {

// The first-line test: "VERSION=1.19", or with AnyVersion any of
// "VERSION=1.15" to "VERSION=1.29". Fails as RequireAsfFirstLine does.
void RequireAcceptedFirstLine(const std::string& path, const Extensions& extensions);
bool PassesAcceptedFirstLine(const std::string& path, const Extensions& extensions);

// Reads, checks and writes into memory, using model.ProcessKind; warnings
// come sorted by line. Throws AsfError when the file cannot be generated.
std::string GenerateModule(const std::string& asfPath, FsmModel& model,
                           const Extensions& extensions, Diagnostics& warnings);

// The same into a file, which is replaced only by a complete new one. Throws
// AsfError or OutputError as GenerateSystemCFile does; returns the warnings.
Diagnostics GenerateModuleFile(const std::string& asfPath, const std::string& cppPath,
                               FsmModel& model, const Extensions& extensions);

} // namespace kestrom
