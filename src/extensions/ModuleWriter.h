// The SystemC module with the chosen extensions. Written only when an
// extension changes the module; otherwise the plain writer writes it.
#pragma once

#include <string>
#include <vector>

#include "base/Diagnostics.h"
#include "extensions/ModulePlan.h"
#include "model/FsmModel.h"

namespace kestrom {

// The whole file, every line ended by CR LF. Transitions of one state with
// the same priority are tried in the order of the file.
std::string WriteExtendedSystemC(const FsmModel& model, const ModulePlan& plan,
                                 Diagnostics& warnings);

// With coverage hooks the module passes each transition it takes to
// KESTROM_COVERAGE once the state register holds the target: at the rising
// edge after the evaluation that chose it, unless a reset comes first. Drawn
// transitions pass their object id; the fall-back of a state to the default
// state, when none of its transitions holds, passes this number.
Integer FallBackHook(const StateRec& state);

// The states that fall back to the default state when none of their
// transitions holds, by StateTable row; the default state itself stays.
std::vector<int> StatesFallingBack(const FsmModel& model);

} // namespace kestrom
