// One generation, as the window's Generate command and the batch tool run it:
// read the ASF file afresh, check it, write the SystemC file.
#pragma once

#include <string>
#include <string_view>

#include "base/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {

// What a generation that ran out of memory reports, in the batch tool and
// the window alike.
constexpr const char* kNotEnoughMemory = "not enough memory to read and convert the file";

// Reads, checks and writes into memory; warnings come sorted by line, at
// most 100 of each kind.
// Throws AsfError when the ASF file cannot be read or generated.
// keepStateWithoutTrap: a machine without trap state stays in its state on
// an illegal one, instead of a default: branch that names no state.
std::string GenerateSystemC(const std::string& asfPath, FsmModel& model, Diagnostics& warnings,
                            bool keepStateWithoutTrap = false);

// Uses model.ProcessKind as it stands. Throws AsfError when the ASF file
// cannot be read (nothing is written then) and OutputError when the output
// cannot be written or would replace the input; returns the warnings.
Diagnostics GenerateSystemCFile(const std::string& asfPath, const std::string& cppPath,
                                FsmModel& model, bool keepStateWithoutTrap = false);

// The same over the ASF file's content, already read.
std::string GenerateSystemCFromText(std::string_view asfText, FsmModel& model,
                                    Diagnostics& warnings, bool keepStateWithoutTrap = false);

} // namespace kestrom
