// Turning the model into the SystemC source of one module.
#pragma once

#include <string>

#include "base/Diagnostics.h"
#include "io/TextOutput.h"
#include "model/FsmModel.h"

namespace kestrom {

// The whole generated file in memory, every line ended by CR LF. Only
// BranchTable and BranchCount of the model change. Throws AsfError when a
// state has more than 125 outgoing transitions.
std::string WriteSystemC(FsmModel& model, Diagnostics& warnings);

// The same text handed to out as it is written; keepStateWithoutTrap makes a
// machine without trap state stay in its state on an illegal one.
void WriteSystemC(FsmModel& model, Diagnostics& warnings, TextOutput& out,
                  bool keepStateWithoutTrap = false);

// Writes the generated file to path atomically: an earlier file is replaced
// only by a complete new one. Throws OutputError when it cannot.
void WriteSystemCFile(const std::string& path, FsmModel& model, Diagnostics& warnings);

} // namespace kestrom
