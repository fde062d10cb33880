// Findings about a model that was read without error but may not make the
// module its designer meant: missing names, clashes, unreachable states.
#pragma once

#include "conversion/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {

Diagnostics CheckModel(const FsmModel& model);

} // namespace kestrom
