// What the extensions add to a module, worked out once from the model and the
// drawing of the same file: the ports, the reset rule and each action's kind.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "extensions/ModulePorts.h"
#include "machine/Design.h"
#include "model/FsmModel.h"

namespace kestrom {

struct ResetRule {
    std::string Expression;         // the condition of the transition leaving Reset
    std::string StateName;          // its target
    std::vector<std::string> Reads; // input ports the expression reads
    int Line = 0;                   // the transition's line
};

// Where an action runs, after its kind and its owner.
enum class ActionPlace { State, Entry, Exit, Transition, Nowhere };

struct ModulePlan {
    Extensions Options;
    std::vector<ModulePort> Ports;
    std::optional<ResetRule> Reset;
    // By ActionTable row (slot 0 unused); with action kinds off every action
    // of a state is a state action, as in the plain generator.
    std::vector<ActionPlace> Places;
};

// Warns about what is asked for but cannot be added (no reset transition or
// condition, a reset that reads no port) and about actions not written.
// Throws AsfError when a drawn port is named like the state port.
ModulePlan PlanModule(const FsmModel& model, const machine::Design& design,
                      const Extensions& extensions, Diagnostics& warnings);

// Where each action runs: by kind (token 3 of its line, by ActionTable row)
// when kinds is given, else as the plain generator writes it. Warns about
// each action that is not written.
std::vector<ActionPlace> PlaceActions(const FsmModel& model, const std::vector<int>* kinds,
                                      Diagnostics& warnings);

// Warns about conditional transitions of one state with the same priority.
void WarnEqualPriorities(const FsmModel& model, Diagnostics& warnings);

} // namespace kestrom
