#include "analysis/ChoiceModel.h"

#include <algorithm>

namespace kestrom::analysis {

std::size_t Divergence(const ChoiceModel& a, const ChoiceModel& b) {
    const std::size_t shorter = std::min(a.Steps.size(), b.Steps.size());
    std::size_t k = 0;
    while (k < shorter && a.Steps[k].Id == b.Steps[k].Id)
        ++k;
    return k;
}

Order OrderOf(const ChoiceModel& earlier, const ChoiceModel& later) {
    const std::size_t k = Divergence(earlier, later);
    if (k >= earlier.Steps.size() || k >= later.Steps.size()) return Order::Higher;
    const Step& first = earlier.Steps[k];
    const Step& second = later.Steps[k];
    if (first.IsElse || second.IsElse) return Order::Higher;
    return first.Priority == second.Priority ? Order::Equal : Order::Higher;
}

TransitionRef RefAt(const ChoiceModel& choice, std::size_t step) {
    TransitionRef ref;
    if (!choice.Steps.empty()) {
        const Step& at = choice.Steps[std::min(step, choice.Steps.size() - 1)];
        ref.Line = at.Line;
        ref.Priority = at.Priority;
    }
    ref.IsElse = choice.Choice && choice.Choice->IsElse;
    ref.Target = choice.Target;
    ref.From = choice.From;
    for (const ConditionTerm* term : choice.Conditions)
        ref.Conditions.push_back(term->Text->Text);
    return ref;
}

std::vector<Step>
StepsOf(const machine::Choice& choice,
        const std::unordered_map<drawing::ObjectId, const drawing::DrawnTransition*>& transitions) {
    std::vector<Step> steps;
    for (std::size_t i = 0; i < choice.TransitionIds.size(); ++i) {
        Step step;
        step.Id = choice.TransitionIds[i];
        step.Line = i < choice.TransitionLines.size() ? choice.TransitionLines[i] : 0;
        const auto found = transitions.find(step.Id);
        if (found != transitions.end()) {
            step.Priority = found->second->Priority;
            step.IsElse = found->second->IsElse;
            if (step.Line == 0 && found->second->Object) step.Line = found->second->Object->Line;
        }
        steps.push_back(step);
    }
    if (steps.empty()) { // a flat machine without ids: its first transition alone
        Step step;
        step.Line = choice.TransitionLines.empty() ? 0 : choice.TransitionLines.front();
        step.Priority = choice.Priority;
        step.IsElse = choice.IsElse;
        // Without an object, the W line tells one transition from another.
        step.Id = choice.First && choice.First->Object ? choice.First->Object->Id : -step.Line;
        steps.push_back(step);
    }
    return steps;
}

} // namespace kestrom::analysis
