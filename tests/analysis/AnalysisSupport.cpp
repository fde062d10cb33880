#include "analysis/AnalysisSupport.h"

#include <algorithm>

#include "base/ToolReport.h"

namespace kestrom::analysis::test {
namespace {

int TriedRank(const TransitionSpec& transition) {
    if (transition.Condition == "@ELSE") return 2;
    return transition.Priority > 0 ? 0 : 1;
}

} // namespace

TestMachine MachineOf(const std::vector<StateSpec>& states) {
    TestMachine made;
    machine::FlatMachine& flat = made.Flat;
    for (const StateSpec& spec : states) {
        drawing::DrawnObject& object = made.Objects.emplace_back();
        object.Line = spec.Line;
        drawing::DrawnState& drawn = made.Drawn.emplace_back();
        drawn.Object = &object;
        drawn.Name = spec.Name;
        machine::FlatState state;
        state.Path = state.Identifier = spec.Name;
        state.Drawn = &drawn;
        flat.States.push_back(state);
    }
    const auto indexOf = [&](const std::string& name) {
        for (std::size_t i = 0; i < states.size(); ++i)
            if (states[i].Name == name) return i;
        return std::size_t{0};
    };
    for (std::size_t s = 0; s < states.size(); ++s) {
        std::vector<TransitionSpec> tried = states[s].Transitions;
        std::stable_sort(tried.begin(), tried.end(), [](const auto& a, const auto& b) {
            const int ra = TriedRank(a), rb = TriedRank(b);
            return ra != rb ? ra < rb : ra == 0 && a.Priority < b.Priority;
        });
        for (const TransitionSpec& transition : tried) {
            machine::Choice choice;
            choice.Target = indexOf(transition.Target);
            choice.Priority = transition.Priority;
            choice.IsElse = transition.Condition == "@ELSE";
            choice.TransitionLines = {transition.Line};
            if (!choice.IsElse && !transition.Condition.empty())
                choice.Conditions.push_back({transition.Condition, transition.Line + 1, 40});
            flat.States[s].Choices.push_back(choice);
        }
    }
    return made;
}

void Declare(hdl::Scope& scope, const std::string& name, hdl::SymbolKind kind, int width) {
    scope.Symbols.Add(hdl::MakeSymbol(name, kind, width));
}

void DeclareConstant(hdl::Scope& scope, const std::string& name, int width, std::uint64_t value) {
    hdl::Symbol symbol = hdl::MakeSymbol(name, hdl::SymbolKind::Constant, width);
    symbol.Value = value;
    scope.Symbols.Add(symbol);
}

std::vector<std::string> DiagnosticLines(const AnalysisResult& result) {
    std::vector<std::string> lines;
    for (const Diagnostic& diagnostic : result.Reported)
        lines.push_back(FileDiagnosticText({"m.asf",
                                            diagnostic.Line,
                                            diagnostic.Level == Severity::Note ? "note" : "warning",
                                            diagnostic.Message,
                                            diagnostic.Code,
                                            0,
                                            {}}));
    return lines;
}

AnalysisResult Analyse(const TestMachine& machine, const hdl::Scope& scope, hdl::Language language,
                       AnalysisOptions options) {
    static const drawing::DrawnMachine noDrawing;
    return AnalyseConditions(machine.Flat, noDrawing, language, scope, "m.asf", options);
}

} // namespace kestrom::analysis::test
