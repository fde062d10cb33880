#include "translation/EdgeWriter.h"

#include "hdl/CppEmitter.h"

namespace kestrom::translation {
namespace {

constexpr std::string_view kNeverTaken = code::kTransitionNeverTaken;

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A backslash at the end of a comment line would join the next line to it.
        if (!line.empty() && line.back() == '\\') line += "(end of line)";
        lines.push_back(line);
        start = end + 1;
    }
    while (lines.size() > 1 && lines.back().find_first_not_of(" \t") == std::string::npos)
        lines.pop_back();
    return lines;
}

} // namespace

void WriteSourceComment(const std::string& text, int asfLine, hdl::CodePrinter& out) {
    const std::vector<std::string> lines = TextLines(text);
    out.Line("//line " + std::to_string(asfLine) + ": " + lines.front());
    for (std::size_t i = 1; i < lines.size(); ++i)
        out.Line("//    " + lines[i]);
}

std::string ResolveLineMarkers(const std::string& text, const Extensions::LineNames& names) {
    std::string resolved;
    std::size_t start = 0;
    int line = 1;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view row(text.data() + start, end - start);
        const std::size_t marker = row.find(kBackToModuleMarker);
        if (marker != std::string_view::npos &&
            row.substr(0, marker).find_first_not_of(' ') == std::string_view::npos)
            resolved += LineDirective(line + 1, names.ModuleFile);
        else
            resolved += row;
        if (end < text.size()) resolved += '\n';
        start = end + 1;
        ++line;
    }
    return resolved;
}

void EdgeWriter::FromAsfLine(int asfLine, hdl::CodePrinter& out) {
    if (lines_ && asfLine > 0) out.Line(LineDirective(asfLine, lines_->AsfFile));
}

void EdgeWriter::BackToModule(hdl::CodePrinter& out) {
    if (lines_) out.Line(std::string(kBackToModuleMarker));
}

std::size_t EdgeWriter::StartState() const {
    if (m_.Reset) return m_.Reset->Target;
    for (std::size_t s = 0; s < m_.States.size(); ++s)
        if (m_.States[s].IsDefault) return s;
    return 0;
}

void EdgeWriter::WriteActions(const std::vector<ParsedAction>& actions, const std::string& what,
                              hdl::CodePrinter& out) {
    for (const ParsedAction& action : actions) {
        if (!what.empty()) out.Line("//" + what);
        WriteSourceComment(action.Source->Text, action.Source->AsfLine, out);
        FromAsfLine(action.Source->AsfLine, out);
        hdl::EmitActions(action.Statements, names_.InEdge(), out);
        BackToModule(out);
    }
}

// With next_ values read, n_X and next are members, so that the diagram
// actions can read what the coming edge will make of the registers.
void EdgeWriter::WriteRegisterCopies(hdl::CodePrinter& out) {
    const bool members = !d_.Coming.empty();
    out.Line("//The values after the edge are those before it unless written");
    for (const hdl::Symbol* symbol : d_.Registers)
        if (names_.RoleOf(*symbol) == SymbolRole::Register)
            out.Line((members ? "" : ValueType(symbol->Width) + " ") + "n_" + symbol->Name +
                     " = r_" + symbol->Name + " ;");
    out.Line(members ? "next = CurrentState ;" : "State next = CurrentState ;");
}

void EdgeWriter::WriteCommit(hdl::CodePrinter& out) {
    out.Line("//All take effect at the edge");
    out.Line("CurrentState = next ;");
    for (const hdl::Symbol* symbol : d_.Registers)
        if (names_.RoleOf(*symbol) == SymbolRole::Register)
            out.Line("r_" + symbol->Name + " = n_" + symbol->Name + " ;");
}

void EdgeWriter::WriteResetHolds(hdl::CodePrinter& out) {
    if (!d_.Reset || !d_.Reset->Condition) return;
    const ParsedCondition& condition = *d_.Reset->Condition;
    out.Line("//The reset condition, on the inputs read at this activation");
    out.Line("bool ResetHolds ( ) const");
    out.Line("{");
    out.Indent();
    WriteSourceComment(condition.Source->Text, condition.Source->AsfLine, out);
    FromAsfLine(condition.Source->AsfLine, out);
    out.Line("return " + hdl::EmitCondition(*condition.Expression, names_.InEdge()) + " ;");
    BackToModule(out);
    out.Dedent();
    out.Line("}");
}

// The reset state is entered: its state actions, the actions on the way from
// the Reset object, then its entry actions, the last write winning.
void EdgeWriter::WriteReset(hdl::CodePrinter& out) {
    const ParsedState& target = d_.States[m_.Reset->Target];
    out.Line("if ( ResetHolds ( ) )");
    out.Line("{");
    out.Indent();
    out.Line("next = State::" + target.Source->Identifier + " ;");
    WriteActions(target.StateActions, "state actions of " + target.Source->Path, out);
    WriteActions(d_.Reset->Actions, "", out);
    WriteActions(target.Entry, "entry actions of " + target.Source->Path, out);
    out.Dedent();
    out.Line("}");
    out.Line("else");
}

std::string EdgeWriter::ConditionOf(const ParsedChoice& choice) {
    std::string joined;
    for (const ParsedCondition& condition : choice.Conditions) {
        const std::string text = hdl::EmitCondition(*condition.Expression, names_.InEdge());
        joined += (joined.empty() ? "" : " && ") + std::string("( ") + text + " )";
    }
    return joined;
}

std::string EdgeWriter::ChoiceText(const ParsedState& state, const ParsedChoice& choice) const {
    std::string text = state.Source->Path + " -> " + m_.States[choice.Source->Target].Path;
    std::string conditions;
    for (const ParsedCondition& condition : choice.Conditions)
        conditions += (conditions.empty() ? "" : " and ") + condition.Source->Text;
    if (choice.Source->IsElse) conditions = "@ELSE" + (conditions.empty() ? "" : ", " + conditions);
    return conditions.empty() ? text : text + " [" + conditions + "]";
}

void EdgeWriter::WriteChoice(const ParsedState& state, const ParsedChoice& choice, bool first,
                             hdl::CodePrinter& out) {
    const machine::FlatState& target = m_.States[choice.Source->Target];
    const int number = static_cast<int>(transitions_.size()) + 1;
    transitions_.push_back({number, ChoiceText(state, choice), choice.Source->TransitionLines});
    std::string lines;
    for (int line : choice.Source->TransitionLines)
        lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    out.Line("//to " + target.Path + (choice.Source->IsElse ? " (@ELSE)" : "") +
             ", transition line" + (choice.Source->TransitionLines.size() > 1 ? "s " : " ") +
             lines);
    for (const ParsedCondition& condition : choice.Conditions)
        WriteSourceComment(condition.Source->Text, condition.Source->AsfLine, out);
    const std::string condition = ConditionOf(choice);
    if (!condition.empty()) {
        FromAsfLine(choice.Conditions.front().Source->AsfLine, out);
        out.Line(std::string(first ? "" : "else ") + "if ( " + condition + " )");
        BackToModule(out);
    } else if (!first)
        out.Line("else");
    out.Line("{");
    out.Indent();
    if (coverage_)
        out.Line(std::string(d_.Coming.empty() ? "" : "if ( atEdge ) ") + "KESTROM_COVERAGE ( " +
                 std::to_string(number) + " ) ;");
    WriteActions(state.Exit, "exit actions of " + state.Source->Path, out);
    WriteActions(choice.Actions, "", out);
    out.Line("next = State::" + target.Identifier + " ;");
    WriteActions(d_.States[choice.Source->Target].Entry, "entry actions of " + target.Path, out);
    out.Dedent();
    out.Line("}");
}

void EdgeWriter::WriteStateCase(const ParsedState& state, hdl::CodePrinter& out) {
    out.Line("case State::" + state.Source->Identifier + " : //" + state.Source->Path);
    out.Line("{");
    out.Indent();
    WriteActions(state.StateActions, "state actions", out);
    bool first = true;
    bool unconditional = false;
    for (const ParsedChoice& choice : state.Choices) {
        if (unconditional) {
            const int line = choice.Source->TransitionLines.empty()
                                 ? state.Source->Drawn && state.Source->Drawn->Object
                                       ? state.Source->Drawn->Object->Line
                                       : 0
                                 : choice.Source->TransitionLines.front();
            warnings_.push_back({line,
                                 "transition from '" + state.Source->Path + "' to '" +
                                     m_.States[choice.Source->Target].Path +
                                     "' is never taken: a transition that always holds comes "
                                     "before it",
                                 kNeverTaken});
            continue;
        }
        WriteChoice(state, choice, first, out);
        first = false;
        unconditional = choice.Conditions.empty();
    }
    out.Line("break ;");
    out.Dedent();
    out.Line("}");
}

// CurrentState only ever holds a state; a trap state, when drawn, still
// catches any other value.
void EdgeWriter::WriteDefault(hdl::CodePrinter& out) {
    out.Line("default :");
    out.Indent();
    for (const machine::FlatState& state : m_.States)
        if (state.IsTrap) {
            out.Line("next = State::" + state.Identifier + " ; //the trap state");
            break;
        }
    out.Line("break ;");
    out.Dedent();
}

void EdgeWriter::WriteEdge(hdl::CodePrinter& out) {
    transitions_.clear();
    out.Line("//One rising edge: S's state actions, its first transition that holds (exit");
    out.Line("//actions, the transition's actions, the entry actions of the state entered)");
    const bool coming = !d_.Coming.empty();
    if (coming) {
        out.Line("//Worked out at the edge, and between edges for the next_ values the");
        out.Line("//diagram actions read (atEdge false: nothing is counted)");
        out.Line("void Next ( bool atEdge )");
    } else {
        out.Line("void Edge ( )");
    }
    out.Line("{");
    out.Indent();
    if (coming) out.Line("( void ) atEdge ;");
    WriteRegisterCopies(out);
    if (d_.Reset && d_.Reset->Condition) WriteReset(out);
    out.Line("switch ( CurrentState )");
    out.Line("{");
    for (const ParsedState& state : d_.States)
        WriteStateCase(state, out);
    WriteDefault(out);
    out.Line("}");
    if (coming) {
        out.Dedent();
        out.Line("}");
        out.Line("");
        out.Line("void Edge ( )");
        out.Line("{");
        out.Indent();
        out.Line("Next ( true ) ;");
    }
    WriteCommit(out);
    out.Dedent();
    out.Line("}");
}

void EdgeWriter::WriteLogic(hdl::CodePrinter& out) {
    if (d_.DiagramActions.empty()) return;
    const bool coming = !d_.Coming.empty();
    if (coming) {
        out.Line("//The diagram actions read next_ values: their wires first, then the coming");
        out.Line("//edge's values from them, then the wires again with those");
        out.Line("void Combine ( )");
        out.Line("{");
        out.Line("    Logic ( ) ;");
        out.Line("    Next ( false ) ;");
        out.Line("    Logic ( ) ;");
        out.Line("}");
        out.Line("");
    }
    out.Line("//The diagram actions: combinational logic of the registers and inputs");
    out.Line(coming ? "void Logic ( )" : "void Combine ( )");
    out.Line("{");
    out.Indent();
    for (const ParsedDiagramAction& action : d_.DiagramActions) {
        WriteSourceComment(action.Source->Text, action.Source->AsfLine, out);
        FromAsfLine(action.Source->AsfLine, out);
        for (const hdl::ModuleItem& item : action.Items)
            hdl::EmitActions(item.Body, names_.InLogic(), out);
        BackToModule(out);
    }
    out.Dedent();
    out.Line("}");
}

} // namespace kestrom::translation
