#include "analysis/StateQuestions.h"

#include <algorithm>

namespace kestrom::analysis {

StateQuestions::StateQuestions(QuerySolver& solver, const ConditionEncoder& encoder,
                               hdl::Language language, z3::expr domain,
                               std::optional<z3::expr> notReset, bool uncoveredInputs,
                               Diagnostics& diagnostics)
    : solver_(solver), encoder_(encoder), language_(language), domain_(std::move(domain)),
      notReset_(std::move(notReset)), uncoveredInputs_(uncoveredInputs), diagnostics_(diagnostics) {
}

void StateQuestions::Analyse(const StateContext& state, const std::vector<ChoiceModel>& choices) {
    never_.assign(choices.size(), false);
    deadBelowAlways_.assign(choices.size(), false);
    NeverTrue(choices);
    AlwaysTrue(choices);
    Overlaps(choices);
    Shadowed(choices);
    if (uncoveredInputs_) Uncovered(state, choices);
}

void StateQuestions::NeverTrue(const std::vector<ChoiceModel>& choices) {
    for (std::size_t j = 0; j < choices.size(); ++j) {
        const ChoiceModel& choice = choices[j];
        if (!choice.Modelled() || choice.Unconditional()) continue;
        std::vector<z3::expr> conditions;
        for (const ConditionTerm* term : choice.Conditions)
            conditions.push_back(*term->Holds);
        std::vector<std::size_t> core;
        const Answer answer = solver_.Ask(domain_, conditions, &core);
        if (answer != Answer::Unsatisfiable) {
            Note(answer, Question::CanHold, RefAt(choice, 0));
            continue;
        }
        never_[j] = true;
        if (core.empty()) core.push_back(conditions.size() - 1);
        TransitionRef ref = RefAt(choice, choice.StepOfCondition[core.back()]);
        ref.Conditions.clear();
        for (std::size_t c : core)
            ref.Conditions.push_back(choice.Conditions[c]->Text->Text);
        diagnostics_.push_back(NeverTrueDiagnostic(ref));
    }
}

void StateQuestions::AlwaysTrue(const std::vector<ChoiceModel>& choices) {
    for (std::size_t j = 0; j < choices.size(); ++j) {
        const ChoiceModel& choice = choices[j];
        if (!choice.Modelled() || never_[j] || choice.Choice->IsElse) continue;
        std::vector<std::size_t> below;
        for (std::size_t m = j + 1; m < choices.size(); ++m)
            if (OrderOf(choice, choices[m]) == Order::Higher) below.push_back(m);
        if (below.empty()) continue;
        if (!choice.Unconditional()) {
            const Answer answer = solver_.Ask(domain_ && !*choice.Holds);
            if (answer != Answer::Unsatisfiable) {
                Note(answer, Question::AlwaysHolds, RefAt(choice, 0));
                continue;
            }
        }
        std::vector<TransitionRef> dead;
        std::size_t deepest = 0;
        for (std::size_t m : below) {
            deadBelowAlways_[m] = true;
            if (never_[m]) continue;
            const std::size_t k = Divergence(choice, choices[m]);
            deepest = std::max(deepest, k);
            dead.push_back(RefAt(choices[m], k));
        }
        if (!dead.empty())
            diagnostics_.push_back(AlwaysTrueDiagnostic(RefAt(choice, deepest), dead));
        return; // everything after it is decided
    }
}

void StateQuestions::Overlaps(const std::vector<ChoiceModel>& choices) {
    for (std::size_t j = 1; j < choices.size(); ++j) {
        if (!choices[j].Modelled() || !Live(j)) continue;
        for (std::size_t i = 0; i < j; ++i) {
            const ChoiceModel& earlier = choices[i];
            const ChoiceModel& later = choices[j];
            if (!earlier.Modelled() || !Live(i) || OrderOf(earlier, later) != Order::Equal)
                continue;
            const std::size_t k = Divergence(earlier, later);
            const TransitionRef first = RefAt(earlier, k);
            const TransitionRef second = RefAt(later, k);
            if (overlapsReported_.count({second.Line, first.Line})) continue;
            const Answer answer = solver_.Ask(domain_ && *earlier.Holds && *later.Holds);
            if (answer == Answer::Satisfiable) {
                overlapsReported_.insert({second.Line, first.Line});
                diagnostics_.push_back(
                    OverlapDiagnostic(second, first, WitnessOf({&earlier, &later})));
            } else {
                Note(answer, Question::BothHold, second, &first);
            }
        }
    }
}

void StateQuestions::Shadowed(const std::vector<ChoiceModel>& choices) {
    for (std::size_t j = 1; j < choices.size(); ++j) {
        const ChoiceModel& later = choices[j];
        if (!later.Modelled() || !Live(j)) continue;
        std::vector<std::size_t> higher;
        std::vector<z3::expr> notHolding;
        for (std::size_t i = 0; i < j; ++i)
            if (choices[i].Modelled() && !never_[i] &&
                OrderOf(choices[i], later) == Order::Higher) {
                higher.push_back(i);
                notHolding.push_back(!*choices[i].Holds);
            }
        if (higher.empty()) continue;
        std::vector<std::size_t> core;
        const Answer answer = solver_.Ask(domain_ && *later.Holds, notHolding, &core);
        if (answer != Answer::Unsatisfiable || core.empty()) {
            Note(answer, Question::Covered, RefAt(later, 0));
            continue;
        }
        std::vector<TransitionRef> covering;
        std::size_t deepest = 0;
        for (std::size_t c : core) {
            const ChoiceModel& cover = choices[higher[c]];
            const std::size_t k = Divergence(cover, later);
            deepest = std::max(deepest, k);
            covering.push_back(RefAt(cover, k));
        }
        diagnostics_.push_back(ShadowedDiagnostic(RefAt(later, deepest), covering));
    }
}

void StateQuestions::Uncovered(const StateContext& state, const std::vector<ChoiceModel>& choices) {
    if (choices.empty()) return; // a state drawn to stay
    z3::expr noneHolds = domain_;
    std::vector<const ChoiceModel*> involved;
    for (const ChoiceModel& choice : choices) {
        if (!choice.Modelled() || choice.Choice->IsElse || choice.Unconditional()) return;
        noneHolds = noneHolds && !*choice.Holds;
        involved.push_back(&choice);
    }
    if (notReset_) noneHolds = noneHolds && *notReset_;
    const Answer answer = solver_.Ask(noneHolds);
    if (answer == Answer::Satisfiable)
        diagnostics_.push_back(UncoveredDiagnostic(state.Line, state.Path, WitnessOf(involved)));
    else if (answer == Answer::NotDecided)
        diagnostics_.push_back(
            UncoveredNotDecidedNote(state.Line, state.Path, solver_.Limit().PerQuery));
}

Witness StateQuestions::WitnessOf(const std::vector<const ChoiceModel*>& involved) const {
    std::vector<const hdl::Symbol*> names;
    for (const ChoiceModel* choice : involved)
        for (const hdl::Symbol* symbol : choice->Reads)
            if (std::find(names.begin(), names.end(), symbol) == names.end())
                names.push_back(symbol);
    Witness witness;
    for (const hdl::Symbol* symbol : names)
        witness.push_back(encoder_.ValueIn(solver_, *symbol, language_));
    return witness;
}

void StateQuestions::Note(Answer answer, Question question, const TransitionRef& transition,
                          const TransitionRef* other) {
    if (answer == Answer::NotDecided)
        diagnostics_.push_back(
            NotDecidedNote(question, transition, other, solver_.Limit().PerQuery));
}

} // namespace kestrom::analysis
