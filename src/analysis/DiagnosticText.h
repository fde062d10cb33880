// The one place that words the analysis's diagnostics: each function returns the
// diagnostic whole, in the shape the batch tool, the JSON and SARIF reports and
// the problems panel show.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "base/Diagnostics.h"

namespace kestrom::analysis {

// A transition as a diagnostic names it: its W line, priority, target and texts.
struct TransitionRef {
    int Line = 0;
    int Priority = 0;
    std::string Target;                  // the target state's path
    std::string From;                    // the source state, named for flattened paths only
    std::vector<std::string> Conditions; // as written, in path order; none when unconditional
    bool IsElse = false;
};

// One input's value in the diagram's own notation, such as RxPID = 4'h5.
struct WitnessValue {
    std::string Name;
    std::string Value;
};
using Witness = std::vector<WitnessValue>;

// "(RxPID = 4'h5, RxValid = 1)"
std::string WitnessText(const Witness& witness);

// K201, on the later transition's line; the earlier is the related line.
Diagnostic OverlapDiagnostic(const TransitionRef& later, const TransitionRef& earlier,
                             const Witness& bothHold);

// K202: whenever `dead` holds, one of `covering` (of strictly higher
// priority) is taken first; for an @ELSE, `covering` holds for every input.
Diagnostic ShadowedDiagnostic(const TransitionRef& dead,
                              const std::vector<TransitionRef>& covering);

// K203
Diagnostic NeverTrueDiagnostic(const TransitionRef& transition);

// K204: `always` holds for every input, so every one of `dead` below it is never taken.
Diagnostic AlwaysTrueDiagnostic(const TransitionRef& always,
                                const std::vector<TransitionRef>& dead);

// K205 (information): no transition of the state holds for `stays`.
Diagnostic UncoveredDiagnostic(int stateLine, const std::string& state, const Witness& stays);

// K206: a condition the analysis cannot model, and why.
Diagnostic NotModelledNote(int line, const std::string& condition, const TransitionRef& owner,
                           const std::string& reason);

// K206: a name the conditions may use (an include file, a constant, a
// declaration) cannot be read.
Diagnostic ScopeNotReadNote(int line, const std::string& reason);

// The questions about one transition that a query may leave open.
enum class Question { CanHold, AlwaysHolds, BothHold, Covered };

// K206: the query of `question` about `transition` (and `other`, for
// BothHold) ran out of its time.
Diagnostic NotDecidedNote(Question question, const TransitionRef& transition,
                          const TransitionRef* other, std::chrono::milliseconds limit);

// K206: whether some inputs leave the state with no transition was not decided.
Diagnostic UncoveredNotDecidedNote(int stateLine, const std::string& state,
                                   std::chrono::milliseconds limit);

// K206, once per file: the budget ran out and `notAsked` questions were left.
Diagnostic BudgetSpentNote(std::chrono::milliseconds budget, std::size_t notAsked);

// A condition as a message quotes it: on one line, long ones cut short.
std::string QuotedCondition(const std::string& text);

} // namespace kestrom::analysis
