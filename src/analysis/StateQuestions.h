// The questions about one state's choices, in the order they are tried: which
// can never hold, which always hold above others, which overlap at equal
// priority, which are covered by higher priorities, and (when asked) which
// inputs no choice covers.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/ChoiceModel.h"
#include "analysis/Encoding.h"
#include "analysis/QuerySolver.h"
#include "base/Diagnostics.h"

namespace kestrom::analysis {

struct StateContext {
    std::string Path;
    int Line = 0; // the state's S line
};

class StateQuestions {
public:
    StateQuestions(QuerySolver& solver, const ConditionEncoder& encoder, hdl::Language language,
                   z3::expr domain, std::optional<z3::expr> notReset, bool uncoveredInputs,
                   Diagnostics& diagnostics);

    void Analyse(const StateContext& state, const std::vector<ChoiceModel>& choices);

private:
    void NeverTrue(const std::vector<ChoiceModel>& choices);
    void AlwaysTrue(const std::vector<ChoiceModel>& choices);
    void Overlaps(const std::vector<ChoiceModel>& choices);
    void Shadowed(const std::vector<ChoiceModel>& choices);
    void Uncovered(const StateContext& state, const std::vector<ChoiceModel>& choices);

    bool Live(std::size_t choice) const { return !never_[choice] && !deadBelowAlways_[choice]; }
    Witness WitnessOf(const std::vector<const ChoiceModel*>& involved) const;
    void Note(Answer answer, Question question, const TransitionRef& transition,
              const TransitionRef* other = nullptr);

    QuerySolver& solver_;
    const ConditionEncoder& encoder_;
    hdl::Language language_;
    z3::expr domain_;
    std::optional<z3::expr> notReset_;
    bool uncoveredInputs_;
    Diagnostics& diagnostics_;
    std::vector<bool> never_;
    std::vector<bool> deadBelowAlways_;
    std::set<std::pair<int, int>> overlapsReported_; // line pairs, across states
};

} // namespace kestrom::analysis
