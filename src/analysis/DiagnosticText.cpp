#include "analysis/DiagnosticText.h"

#include <cctype>

namespace kestrom::analysis {
namespace {

constexpr std::size_t kLongestQuoted = 80;

std::string Lines(const std::vector<TransitionRef>& transitions, bool withPriority) {
    std::string text;
    for (std::size_t i = 0; i < transitions.size(); ++i) {
        if (i > 0) text += i + 1 == transitions.size() ? " and " : ", ";
        text += std::to_string(transitions[i].Line);
        if (withPriority) text += " (priority " + std::to_string(transitions[i].Priority) + ")";
    }
    return (transitions.size() == 1 ? "the transition on line " : "the transitions on lines ") +
           text;
}

// 'a' or 'a' and 'b' (a path through junctions and exits has several).
std::string ConditionsQuoted(const TransitionRef& transition) {
    std::string text;
    for (std::size_t i = 0; i < transition.Conditions.size(); ++i) {
        if (i > 0) text += i + 1 == transition.Conditions.size() ? " and " : ", ";
        text += "'" + QuotedCondition(transition.Conditions[i]) + "'";
    }
    return text;
}

std::string TransitionName(const TransitionRef& transition) {
    const std::string from = transition.From.empty() ? "" : "from " + Quoted(transition.From) + " ";
    return std::string(transition.IsElse ? "else transition " : "transition ") + from + "to " +
           Quoted(transition.Target);
}

Diagnostic MakeDiagnostic(int line, std::string message, std::string_view code,
                          Severity level = Severity::Warning) {
    Diagnostic diagnostic(line, std::move(message), code);
    diagnostic.Level = level;
    return diagnostic;
}

void Relate(Diagnostic& diagnostic, const TransitionRef& transition, const std::string& role) {
    diagnostic.Related.push_back({transition.Line, 0, TransitionName(transition) + ", " + role});
}

std::string Milliseconds(std::chrono::milliseconds limit) {
    return std::to_string(limit.count()) + " ms";
}

} // namespace

std::string QuotedCondition(const std::string& text) {
    std::string flat;
    for (char c : text) {
        const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
        if (!blank)
            flat += c;
        else if (!flat.empty() && flat.back() != ' ')
            flat += ' ';
    }
    while (!flat.empty() && flat.back() == ' ')
        flat.pop_back();
    if (flat.size() > kLongestQuoted) flat = flat.substr(0, kLongestQuoted - 3) + "...";
    return flat;
}

std::string WitnessText(const Witness& witness) {
    std::string text = "(";
    for (std::size_t i = 0; i < witness.size(); ++i)
        text += (i > 0 ? ", " : "") + witness[i].Name + " = " + witness[i].Value;
    return text + ")";
}

Diagnostic OverlapDiagnostic(const TransitionRef& later, const TransitionRef& earlier,
                             const Witness& bothHold) {
    Diagnostic diagnostic = MakeDiagnostic(
        later.Line,
        TransitionName(later) + " and the transition on line " + std::to_string(earlier.Line) +
            " have the same priority " + std::to_string(later.Priority) + " and both hold for " +
            WitnessText(bothHold) + ": the one on line " + std::to_string(earlier.Line) +
            " is taken",
        code::kConditionsOverlap);
    Relate(diagnostic, earlier, "taken when both hold");
    return diagnostic;
}

Diagnostic ShadowedDiagnostic(const TransitionRef& dead,
                              const std::vector<TransitionRef>& covering) {
    const bool one = covering.size() == 1;
    std::string message = TransitionName(dead) + " can never be taken: ";
    if (dead.IsElse)
        message += Lines(covering, true) + (one ? " holds" : " cover") + " every input";
    else
        message += "whenever " + ConditionsQuoted(dead) +
                   (dead.Conditions.size() == 1 ? " holds" : " hold") + ", " +
                   Lines(covering, true) + (one ? " is" : " are") + " taken first";
    Diagnostic diagnostic =
        MakeDiagnostic(dead.Line, std::move(message), code::kTransitionShadowed);
    for (const TransitionRef& cover : covering)
        Relate(diagnostic, cover, "taken first");
    return diagnostic;
}

Diagnostic NeverTrueDiagnostic(const TransitionRef& transition) {
    const bool one = transition.Conditions.size() == 1;
    return MakeDiagnostic(transition.Line,
                          TransitionName(transition) + " can never be taken: its " +
                              (one ? "condition " : "conditions ") + ConditionsQuoted(transition) +
                              (one ? " never holds" : " never hold together"),
                          code::kConditionNeverTrue);
}

Diagnostic AlwaysTrueDiagnostic(const TransitionRef& always,
                                const std::vector<TransitionRef>& dead) {
    const bool one = always.Conditions.size() == 1;
    Diagnostic diagnostic = MakeDiagnostic(
        always.Line,
        TransitionName(always) + " is always taken: its " + (one ? "condition " : "conditions ") +
            ConditionsQuoted(always) + (one ? " holds" : " hold") + " for every input, so " +
            Lines(dead, false) + " below it can never be taken",
        code::kAlwaysTrueAboveOthers);
    for (const TransitionRef& never : dead)
        Relate(diagnostic, never, "never taken");
    return diagnostic;
}

Diagnostic UncoveredDiagnostic(int stateLine, const std::string& state, const Witness& stays) {
    return MakeDiagnostic(stateLine,
                          "no transition of state " + Quoted(state) + " holds for " +
                              WitnessText(stays) + " and it has no @ELSE: the machine stays in it",
                          code::kInputsUncovered, Severity::Note);
}

Diagnostic NotModelledNote(int line, const std::string& condition, const TransitionRef& owner,
                           const std::string& reason) {
    return MakeDiagnostic(line,
                          "condition '" + QuotedCondition(condition) + "' of the " +
                              TransitionName(owner) + " is not analysed: " + reason,
                          code::kConditionNotDecided, Severity::Note);
}

Diagnostic ScopeNotReadNote(int line, const std::string& reason) {
    return MakeDiagnostic(line, "names not all read for the condition analysis: " + reason,
                          code::kConditionNotDecided, Severity::Note);
}

Diagnostic NotDecidedNote(Question question, const TransitionRef& transition,
                          const TransitionRef* other, std::chrono::milliseconds limit) {
    std::string whether;
    switch (question) {
    case Question::CanHold:
        whether = "the condition of the " + TransitionName(transition) + " can hold";
        break;
    case Question::AlwaysHolds:
        whether = "the condition of the " + TransitionName(transition) + " always holds";
        break;
    case Question::BothHold:
        whether = "the " + TransitionName(transition) + " and the transition on line " +
                  std::to_string(other ? other->Line : 0) + " can both hold";
        break;
    case Question::Covered:
        whether = "higher priorities cover the " + TransitionName(transition);
        break;
    }
    Diagnostic note = MakeDiagnostic(
        transition.Line, "not decided within " + Milliseconds(limit) + " whether " + whether,
        code::kConditionNotDecided, Severity::Note);
    if (other) Relate(note, *other, "the other transition");
    return note;
}

Diagnostic UncoveredNotDecidedNote(int stateLine, const std::string& state,
                                   std::chrono::milliseconds limit) {
    return MakeDiagnostic(stateLine,
                          "not decided within " + Milliseconds(limit) +
                              " whether some inputs leave state " + Quoted(state) +
                              " with no transition that holds",
                          code::kConditionNotDecided, Severity::Note);
}

Diagnostic BudgetSpentNote(std::chrono::milliseconds budget, std::size_t notAsked) {
    return MakeDiagnostic(0,
                          "condition analysis stopped after " + Milliseconds(budget) +
                              ", its limit for one file: " + std::to_string(notAsked) +
                              (notAsked == 1 ? " question was" : " questions were") + " not asked",
                          code::kConditionNotDecided, Severity::Note);
}

} // namespace kestrom::analysis
