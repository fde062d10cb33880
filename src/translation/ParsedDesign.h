// Every text of a real diagram parsed once, by the parser of the diagram's
// language, into typed trees, with what the module is made of: the registers
// the machine's actions write and the wires the diagram actions drive.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drawing/Drawing.h"
#include "hdl/Parse.h"
#include "machine/FlatMachine.h"
#include "translation/HdlOptions.h"

namespace kestrom::translation {

struct ParsedAction {
    const machine::ActionText* Source = nullptr;
    hdl::StmtList Statements;
};

struct ParsedCondition {
    const machine::ConditionText* Source = nullptr;
    hdl::ExprPtr Expression;
};

struct ParsedChoice {
    const machine::Choice* Source = nullptr;
    std::vector<ParsedCondition> Conditions; // joined with `and`; none: always holds
    std::vector<ParsedAction> Actions;
};

struct ParsedState {
    const machine::FlatState* Source = nullptr;
    std::vector<ParsedAction> Entry, StateActions, Exit;
    std::vector<ParsedChoice> Choices;
};

struct ParsedDiagramAction {
    const machine::TextAt* Source = nullptr;
    hdl::ModuleItems Items;
};

struct ParsedReset {
    const machine::Reset* Source = nullptr;
    std::optional<ParsedCondition> Condition; // none: the reset never holds
    std::vector<ParsedAction> Actions;
};

struct ParsedDesign {
    hdl::Language Language = hdl::Language::Verilog;
    std::string File; // the ASF file the texts' errors name
    // The trees point at its symbols: it stays where it is when the design moves.
    std::unique_ptr<hdl::Scope> Scope;
    std::vector<ParsedState> States; // by index into the flat machine's states
    std::optional<ParsedReset> Reset;
    std::vector<ParsedDiagramAction> DiagramActions;
    std::vector<const hdl::Symbol*> Registers;  // written by the machine, in first-write order
    std::vector<const hdl::Symbol*> Wires;      // driven by the diagram actions
    std::vector<const hdl::Symbol*> WireInputs; // the inputs the diagram actions read
    // The registers the diagram actions read as next_X: the module then works
    // out the coming edge's values whenever its inputs change.
    std::vector<const hdl::Symbol*> Coming;
};

// Throws hdl::TranslationError for the first text that cannot be translated
// and for a name that both the machine and a diagram action write.
ParsedDesign ParseDesign(const drawing::Drawing& drawing, const machine::FlatMachine& machine,
                         const HdlOptions& options, const std::string& asfFile);

// The statements' reads, in order, each symbol once; with `coming`, only the
// registers read as next_X.
void CollectStatementReads(const hdl::StmtList& statements, std::vector<const hdl::Symbol*>& read,
                           bool coming = false);

} // namespace kestrom::translation
