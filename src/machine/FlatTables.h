// The parts of the flat machine that are no states: ports (with the clock the
// frame names), signals, constants, declarations and diagram actions.
#pragma once

#include "machine/FlatMachine.h"

namespace kestrom::machine {

void CollectTables(const drawing::DrawnMachine& machine, FlatMachine& flat);

// The bus range of a port label: "[3:0]" of "PID[3:0]" or of
// "WR[2:0]=\"100\""; empty without one.
std::string RangeOfLabel(const std::string& label);

} // namespace kestrom::machine
