// The clocked part of the module: what happens at one rising edge, the
// reset condition, and the combinational logic of the diagram actions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "extensions/TestBench.h"
#include "hdl/CodePrinter.h"
#include "machine/FlatMachine.h"
#include "translation/ModuleNames.h"
#include "translation/ParsedDesign.h"

namespace kestrom::translation {

class EdgeWriter {
public:
    EdgeWriter(const machine::FlatMachine& machine, const ParsedDesign& design, ModuleNames& names,
               bool coverageHooks, const Extensions::LineNames* lineDirectives,
               Diagnostics& warnings)
        : m_(machine), d_(design), names_(names), coverage_(coverageHooks), lines_(lineDirectives),
          warnings_(warnings) {}

    // void Edge ( ): the values after the edge from those before it.
    void WriteEdge(hdl::CodePrinter& out);
    // bool ResetHolds ( ) const, when the diagram has a reset condition.
    void WriteResetHolds(hdl::CodePrinter& out);
    // void Combine ( ), when the diagram has diagram actions.
    void WriteLogic(hdl::CodePrinter& out);

    // What each coverage number names, after WriteEdge.
    const std::vector<BenchTransition>& Transitions() const { return transitions_; }
    // The state the module starts in: the reset's target, else the default state.
    std::size_t StartState() const;

private:
    void WriteRegisterCopies(hdl::CodePrinter& out);
    void WriteCommit(hdl::CodePrinter& out);
    void WriteReset(hdl::CodePrinter& out);
    void WriteStateCase(const ParsedState& state, hdl::CodePrinter& out);
    void WriteChoice(const ParsedState& state, const ParsedChoice& choice, bool first,
                     hdl::CodePrinter& out);
    void WriteDefault(hdl::CodePrinter& out);
    void WriteActions(const std::vector<ParsedAction>& actions, const std::string& what,
                      hdl::CodePrinter& out);
    std::string ConditionOf(const ParsedChoice& choice);
    void FromAsfLine(int asfLine, hdl::CodePrinter& out);
    void BackToModule(hdl::CodePrinter& out);
    std::string ChoiceText(const ParsedState& state, const ParsedChoice& choice) const;

    const machine::FlatMachine& m_;
    const ParsedDesign& d_;
    ModuleNames& names_;
    const bool coverage_;
    const Extensions::LineNames* lines_; // null: no #line directives
    Diagnostics& warnings_;
    std::vector<BenchTransition> transitions_;
};

// Comment lines with a drawn text as it stands, after the ASF line it is on.
void WriteSourceComment(const std::string& text, int asfLine, hdl::CodePrinter& out);

// The bodies are written before the module around them, so a directive back
// to the module's own lines is a marker until the whole text is there.
constexpr std::string_view kBackToModuleMarker = "#line KESTROM_BACK_TO_MODULE";
// Every marker made a #line naming the module file and the line after it.
std::string ResolveLineMarkers(const std::string& text, const Extensions::LineNames& names);

} // namespace kestrom::translation
