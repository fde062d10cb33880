// Diagnostics about a model that was read without error but may not make the
// module its designer meant: missing names, clashes, unreachable states.
#pragma once

#include "base/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {

// keepsStateWithoutTrap: the module is written to stay in its state where
// the trap state would be, and the warning without one says so.
Diagnostics CheckModel(const FsmModel& model, bool keepsStateWithoutTrap = false);

} // namespace kestrom
