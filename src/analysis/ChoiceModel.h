// A state's choices as the questions need them: the steps of each path with
// their priorities, and the path's conditions as solver terms.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <z3++.h>

#include "analysis/DiagnosticText.h"
#include "drawing/DrawnMachine.h"
#include "hdl/Symbols.h"
#include "machine/FlatMachine.h"

namespace kestrom::analysis {

// One drawn transition along a choice's path.
struct Step {
    drawing::ObjectId Id = 0;
    int Line = 0;
    int Priority = 0; // 0: none drawn
    bool IsElse = false;
};

// One condition text along a path, parsed and encoded once per file.
struct ConditionTerm {
    const machine::ConditionText* Text = nullptr;
    std::optional<z3::expr> Holds; // nothing: not modelled (a note says why)
    std::vector<const hdl::Symbol*> Reads;
};

struct ChoiceModel {
    const machine::Choice* Choice = nullptr;
    std::string Target; // the target state's path
    std::string From;   // the source state's path, named only for paths of several steps
    std::vector<Step> Steps;
    std::vector<const ConditionTerm*> Conditions; // in path order
    std::vector<std::size_t> StepOfCondition;     // the step each condition is drawn on
    std::optional<z3::expr> Holds;         // all conditions; nothing when one is not modelled
    std::vector<const hdl::Symbol*> Reads; // the free values read, in order

    bool Modelled() const { return Holds.has_value(); }
    bool Unconditional() const { return Conditions.empty(); }
};

// How an earlier choice stands to a later one of the same state.
enum class Order {
    Higher, // tried first by a strictly higher priority (or before an @ELSE)
    Equal,  // of the same priority: the order in the file decides
};

// The first step where the two paths part (the shorter one's length when one
// continues the other).
std::size_t Divergence(const ChoiceModel& a, const ChoiceModel& b);

Order OrderOf(const ChoiceModel& earlier, const ChoiceModel& later);

// The transition of `choice` at `step`, as a diagnostic names it.
TransitionRef RefAt(const ChoiceModel& choice, std::size_t step);

// The steps of `choice`, from its transition ids and the drawing's transitions.
std::vector<Step>
StepsOf(const machine::Choice& choice,
        const std::unordered_map<drawing::ObjectId, const drawing::DrawnTransition*>& transitions);

} // namespace kestrom::analysis
