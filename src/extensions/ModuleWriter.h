// The SystemC module with the chosen extensions. Written only when an
// extension changes the module; otherwise the plain writer writes it.
#pragma once

#include <string>

#include "base/Diagnostics.h"
#include "extensions/ModulePlan.h"
#include "model/FsmModel.h"

namespace kestrom {

// The whole file, every line ended by CR LF. Transitions of one state with
// the same priority are tried in the order of the file.
std::string WriteExtendedSystemC(const FsmModel& model, const ModulePlan& plan,
                                 Diagnostics& warnings);

} // namespace kestrom
