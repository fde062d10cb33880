// One generation with the chosen extensions, as the batch tool and the
// window's Generate command run it. With every extension off the file is the
// plain generator's, byte for byte; the warnings about unwritten actions and
// equal priorities come in every generation.
#pragma once

#include <string>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "machine/Design.h"
#include "model/FsmModel.h"

namespace kestrom {

// The first-line test: "VERSION=1.19", or with AnyVersion any of
// "VERSION=1.15" to "VERSION=1.29". Fails as RequireAsfFirstLine does.
void RequireAcceptedFirstLine(const std::string& path, const Extensions& extensions);
bool PassesAcceptedFirstLine(const std::string& path, const Extensions& extensions);
// Why the test refuses the file, in one sentence (the first line found and
// the way to accept other versions); empty when it passes.
std::string FirstLineRefusal(const std::string& path, const Extensions& extensions);
// The same test over a design already read.
void RequireAcceptedFirstLine(const machine::Design& design, const Extensions& extensions);

// Reads, checks and writes into memory, using model.ProcessKind; warnings
// come sorted by line, at most 100 of each kind. Throws AsfError when the file cannot be generated.
std::string GenerateModule(const std::string& asfPath, FsmModel& model,
                           const Extensions& extensions, Diagnostics& warnings);

// The same over a design already read; the plain module is generated from
// its text by the plain reader.
std::string GenerateModule(const machine::Design& design, FsmModel& model,
                           const Extensions& extensions, Diagnostics& warnings);

// Reads the file once into a design, emptying the model first as a read does.
// Throws as machine::Design::ReadFile does.
machine::Design ReadDesign(const std::string& asfPath, FsmModel& model);

// The same into a file, which is replaced only by a complete new one. Throws
// AsfError or OutputError as GenerateSystemCFile does; returns the warnings.
Diagnostics GenerateModuleFile(const std::string& asfPath, const std::string& cppPath,
                               FsmModel& model, const Extensions& extensions);

// The same when the file was read into a design already (asfPath is where it
// was read, to refuse writing over it).
Diagnostics GenerateModuleFile(const std::string& asfPath, const machine::Design& design,
                               const std::string& cppPath, FsmModel& model,
                               const Extensions& extensions);

} // namespace kestrom
