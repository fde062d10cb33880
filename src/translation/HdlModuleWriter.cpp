#include "translation/HdlModuleWriter.h"

#include <algorithm>

#include "hdl/TranslationError.h"
#include "model/ProductInfo.h"
#include "translation/EdgeWriter.h"
#include "translation/ModuleNames.h"

namespace kestrom::translation {
namespace {

PortDirection DirectionOf(machine::PortDirection direction) {
    switch (direction) {
    case machine::PortDirection::In:
        return PortDirection::In;
    case machine::PortDirection::Out:
        return PortDirection::Out;
    case machine::PortDirection::InOut:
        return PortDirection::InOut;
    }
    return PortDirection::In;
}

std::vector<ModulePort> PortsOf(const machine::FlatMachine& machine, bool statePort) {
    std::vector<ModulePort> ports;
    for (std::size_t p = 0; p < machine.Ports.size(); ++p) {
        const machine::FlatPort& drawn = machine.Ports[p];
        ModulePort port;
        port.Name = drawn.Name;
        port.Direction = DirectionOf(drawn.Direction);
        port.Width = drawn.Width;
        port.Type = TypeForWidth(drawn.Width);
        port.IsClock = machine.Clock && *machine.Clock == p;
        port.Line = drawn.AsfLine;
        ports.push_back(port);
    }
    if (statePort) {
        ModulePort state;
        state.Name = kStatePortName;
        state.Direction = PortDirection::Out;
        state.Type = "int";
        state.Width = 32;
        state.IsStatePort = true;
        ports.push_back(state);
    }
    return ports;
}

class ModuleWriter {
public:
    ModuleWriter(const machine::FlatMachine& machine, const ParsedDesign& design,
                 const ModuleRequest& request, Diagnostics& warnings)
        : m_(machine), d_(design), request_(request), names_(design),
          edge_(machine, design, names_, request.CoverageHooks,
                request.LineDirectives ? &*request.LineDirectives : nullptr, warnings) {}

    WrittenModule Write() {
        RequireClock();
        RequireWidths();
        WrittenModule written;
        written.Ports = PortsOf(m_, request_.StatePort);
        WriteBenchReset(written);
        // The bodies first: they tell which constants the module uses.
        hdl::CodePrinter edge;
        edge_.WriteEdge(edge);
        hdl::CodePrinter logic;
        edge_.WriteLogic(logic);
        hdl::CodePrinter reset;
        edge_.WriteResetHolds(reset);
        written.Transitions = edge_.Transitions();
        written.Internals = Internals();

        Line("//SystemC module " + request_.ModuleName + ", written by " +
             std::string(kProductName) + " " + std::string(kProductVersion) + " from " +
             request_.SourceName + ".");
        Line("//Its " + std::string(hdl::LanguageName(d_.Language)) +
             " texts are translated: at each rising edge of " + ClockName() +
             " the state's actions run, then the first");
        Line("//transition whose condition holds, its actions and the entry actions of the");
        Line("//state it enters; every register takes its new value at that same edge.");
        Line("");
        Line("#include <cstdint>");
        Line("#include <systemc.h>");
        Line("");
        if (request_.CoverageHooks) {
            Line("//A test bench defines KESTROM_COVERAGE to count the transitions taken");
            Line("#ifndef KESTROM_COVERAGE");
            Line("#define KESTROM_COVERAGE( transition )");
            Line("#endif");
            Line("");
        }
        Line("SC_MODULE ( " + request_.ModuleName + " )");
        Line("{");
        out_.Indent();
        WritePorts(written.Ports);
        WriteStates();
        WriteConstants();
        WriteValues();
        WriteInputReads();
        Append(reset);
        Append(logic);
        Append(edge);
        WriteOutputWrites();
        WriteActivation();
        WriteConstructor();
        out_.Dedent();
        Line("} ;");
        written.Text = request_.LineDirectives
                           ? ResolveLineMarkers(out_.Text(), *request_.LineDirectives)
                           : out_.Text();
        return written;
    }

private:
    void Line(const std::string& text) { out_.Line(text); }

    std::vector<InternalSignal> Internals() const {
        std::vector<InternalSignal> internals;
        for (const hdl::Symbol& symbol : d_.Scope->Symbols.All())
            if (symbol.Kind == hdl::SymbolKind::Signal)
                internals.push_back(
                    {symbol.Name,
                     (names_.RoleOf(symbol) == SymbolRole::Wire ? "w_" : "r_") + symbol.Name,
                     symbol.Width, symbol.Signed});
        return internals;
    }

    void Append(const hdl::CodePrinter& printer) {
        if (printer.Text().empty()) return;
        std::size_t start = 0;
        const std::string& text = printer.Text();
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            Line(text.substr(start, end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        Line("");
    }

    const std::string& ClockName() const { return m_.Ports[*m_.Clock].Name; }

    void RequireClock() const {
        if (!m_.Clock || *m_.Clock >= m_.Ports.size())
            hdl::fault::Unsupported(d_.File, {0, 0}, "a diagram without a clock port");
    }

    void RequireWidths() const {
        for (const hdl::Symbol& symbol : d_.Scope->Symbols.All())
            if (symbol.Width > 64 && symbol.Signed && symbol.Kind != hdl::SymbolKind::Constant &&
                symbol.Kind != hdl::SymbolKind::Macro)
                hdl::fault::OutOfRange(d_.File, {symbol.AsfLine, 0},
                                       "'" + symbol.Name + "' has " + std::to_string(symbol.Width) +
                                           " bits and a sign; signed values wider than 64 bits "
                                           "are not translated");
    }

    void WriteBenchReset(WrittenModule& written) {
        if (!d_.Reset || !d_.Reset->Condition) return;
        const hdl::Expr& condition = *d_.Reset->Condition->Expression;
        written.ResetExpression =
            hdl::EmitCondition(condition, names_.InBench(request_.ModuleName));
        written.ResetLine = d_.Reset->Source->AsfLine;
        std::vector<const hdl::Symbol*> read;
        hdl::CollectReads(condition, read);
        for (const hdl::Symbol* symbol : read)
            if (symbol->Kind == hdl::SymbolKind::Input &&
                std::find(written.ResetReads.begin(), written.ResetReads.end(), symbol->Name) ==
                    written.ResetReads.end())
                written.ResetReads.push_back(symbol->Name);
    }

    void WritePorts(const std::vector<ModulePort>& ports) {
        Line("//Ports");
        for (const ModulePort& port : ports)
            Line(std::string(PortClass(port.Direction)) + " < " + port.Type + " > " + port.Name +
                 " ;" + (port.IsClock ? " //clk" : "") +
                 (port.IsStatePort ? " //the code of CurrentState" : ""));
        Line("");
    }

    void WriteStates() {
        Line("//The leaf states of the flattened diagram, by their paths");
        Line("enum class State : int");
        Line("{");
        out_.Indent();
        for (const machine::FlatState& state : m_.States)
            Line(state.Identifier + " , //" + state.Path);
        out_.Dedent();
        Line("} ;");
        Line("State CurrentState ;");
        Line("");
    }

    void WriteConstants() {
        std::vector<const hdl::Symbol*> used(names_.ConstantsUsed().begin(),
                                             names_.ConstantsUsed().end());
        if (used.empty()) return;
        std::sort(used.begin(), used.end(),
                  [](const hdl::Symbol* a, const hdl::Symbol* b) { return a->Name < b->Name; });
        Line("//Constants, macros and enumeration values the texts use");
        Line("struct Constants");
        Line("{");
        out_.Indent();
        for (const hdl::Symbol* symbol : used)
            Line("static constexpr std::uint64_t " + symbol->Name + " = " +
                 HexValue(symbol->Value.value_or(0)) + " ; //" + std::to_string(symbol->Width) +
                 " bits" + KindNote(*symbol));
        out_.Dedent();
        Line("} ;");
        Line("");
    }

    static std::string KindNote(const hdl::Symbol& symbol) {
        if (symbol.Kind == hdl::SymbolKind::Macro) return ", `define";
        if (symbol.AsfLine > 0) return ", line " + std::to_string(symbol.AsfLine);
        return "";
    }

    void WriteValues() {
        Line("//Registers (r_: the value before the edge), wires of the diagram actions (w_),");
        Line("//inputs as read at this activation (i_), outputs as last written (o_)");
        for (const hdl::Symbol& symbol : d_.Scope->Symbols.All()) {
            const std::string bits =
                " ; //" + std::to_string(symbol.Width) + (symbol.Width == 1 ? " bit" : " bits");
            switch (names_.RoleOf(symbol)) {
            case SymbolRole::Register:
                Line(ValueType(symbol.Width) + " r_" + symbol.Name + bits + RangeNote(symbol));
                break;
            case SymbolRole::Wire:
                Line(ValueType(symbol.Width) + " w_" + symbol.Name + bits);
                break;
            case SymbolRole::Input:
                if (names_.IsRead(symbol))
                    Line(ValueType(symbol.Width) + " i_" + symbol.Name + bits);
                break;
            case SymbolRole::Constant:
                break;
            }
        }
        for (const machine::FlatPort& port : m_.Ports)
            if (port.Direction != machine::PortDirection::In)
                Line(ValueType(port.Width) + " o_" + port.Name + " ;");
        if (request_.StatePort) Line("int o_" + std::string(kStatePortName) + " ;");
        if (!d_.Coming.empty()) {
            Line("//What the coming edge makes of the registers and the state");
            for (const hdl::Symbol* symbol : d_.Registers)
                if (names_.RoleOf(*symbol) == SymbolRole::Register)
                    Line(ValueType(symbol->Width) + " n_" + symbol->Name + " ;");
            Line("State next ;");
        }
        Line("");
        if (names_.RangeChecked()) WriteRangeCheck();
    }

    static std::string RangeNote(const hdl::Symbol& symbol) {
        if (!symbol.IntegerRange) return "";
        return ", integer range " + std::to_string(symbol.IntegerRange->Low) + " to " +
               std::to_string(symbol.IntegerRange->High);
    }

    void WriteRangeCheck() {
        Line("//An integer leaving its declared range stops the simulation, as in VHDL");
        Line("//A negative value is held in the two's complement of the integer's bits");
        Line("static std::uint64_t InRange ( std::uint64_t value , int bits , long long low ,"
             " long long high , const char* name , int asfLine )");
        Line("{");
        Line("    const std::uint64_t kept = bits < 64 ? value & ( ~0ull >> ( 64 - bits ) ) : "
             "value ;");
        Line("    const bool negative = low < 0 && bits < 64 && ( ( kept >> ( bits - 1 ) ) & 1u ) "
             ";");
        Line("    const long long v = static_cast < long long > ( low >= 0 ? value : negative ?"
             " kept | ( ~0ull << bits ) : kept ) ;");
        Line("    if ( v < low || v > high )");
        Line("        SC_REPORT_FATAL ( \"kestrom\" , ( std::string ( name ) + \" leaves its "
             "range \" + std::to_string ( low ) + \" to \" + std::to_string ( high ) + \": \" +"
             " std::to_string ( v ) + \" (the assignment on line \" + std::to_string ( asfLine )"
             " + \")\" ).c_str ( ) ) ;");
        Line("    return kept ;");
        Line("}");
        Line("");
    }

    void WriteInputReads() {
        Line("void ReadInputs ( )");
        Line("{");
        out_.Indent();
        for (const hdl::Symbol& symbol : d_.Scope->Symbols.All())
            if (names_.RoleOf(symbol) == SymbolRole::Input && names_.IsRead(symbol))
                Line("i_" + symbol.Name + " = " + symbol.Name + ".read ( ) ;");
        out_.Dedent();
        Line("}");
        Line("");
    }

    std::string OutputValue(const machine::FlatPort& port) const {
        const hdl::Symbol* symbol = d_.Scope->Symbols.Find(port.Name, d_.Language);
        if (!symbol) return "0";
        return (names_.IsWire(*symbol) ? "w_" : "r_") + symbol->Name;
    }

    void WriteOutputWrites() {
        Line("//Each output is written when its value changed");
        Line("void WriteOutputs ( )");
        Line("{");
        out_.Indent();
        for (const machine::FlatPort& port : m_.Ports) {
            if (port.Direction == machine::PortDirection::In) continue;
            const std::string value = OutputValue(port);
            Line("if ( o_" + port.Name + " != " + value + " ) { o_" + port.Name + " = " + value +
                 " ; " + port.Name + ".write ( " + value + " ) ; }");
        }
        if (request_.StatePort) {
            const std::string state = "static_cast < int > ( CurrentState )";
            Line(std::string("if ( o_") + kStatePortName + " != " + state + " ) { o_" +
                 kStatePortName + " = " + state + " ; " + kStatePortName + ".write ( o_" +
                 kStatePortName + " ) ; }");
        }
        out_.Dedent();
        Line("}");
        Line("");
    }

    bool AsyncReset() const {
        return d_.Reset && d_.Reset->Source->Asynchronous && d_.Reset->Condition;
    }

    void WriteActivation() {
        const bool logic = !d_.DiagramActions.empty();
        Line("//One activation: at a rising edge (or a reset), then whenever an input of the");
        Line("//diagram actions changes");
        Line("void Activate ( )");
        Line("{");
        out_.Indent();
        Line("ReadInputs ( ) ;");
        Line("if ( " + ClockName() + ".posedge ( )" + (AsyncReset() ? " || ResetHolds ( )" : "") +
             " )");
        Line("{");
        if (logic) Line("    Combine ( ) ;");
        Line("    Edge ( ) ;");
        Line("}");
        if (logic) Line("Combine ( ) ;");
        Line("WriteOutputs ( ) ;");
        out_.Dedent();
        Line("}");
        Line("");
        if (!request_.Thread) return;
        Line("void Run ( )");
        Line("{");
        Line("    Activate ( ) ;");
        Line("    while ( true )");
        Line("    {");
        Line("        wait ( ) ;");
        Line("        Activate ( ) ;");
        Line("    }");
        Line("}");
        Line("");
    }

    std::vector<std::string> Sensitivity() const {
        std::vector<std::string> events{ClockName() + ".pos ( )"};
        auto add = [&events](const std::string& name) {
            if (std::find(events.begin(), events.end(), name) == events.end())
                events.push_back(name);
        };
        for (const hdl::Symbol* symbol : d_.WireInputs)
            add(symbol->Name);
        // next_ values change with every input the machine reads.
        if (!d_.Coming.empty())
            for (const hdl::Symbol& symbol : d_.Scope->Symbols.All())
                if (names_.RoleOf(symbol) == SymbolRole::Input && names_.IsRead(symbol))
                    add(symbol.Name);
        if (AsyncReset()) {
            std::vector<const hdl::Symbol*> read;
            hdl::CollectReads(*d_.Reset->Condition->Expression, read);
            for (const hdl::Symbol* symbol : read)
                if (symbol->Kind == hdl::SymbolKind::Input) add(symbol->Name);
        }
        return events;
    }

    void WriteConstructor() {
        Line("SC_CTOR ( " + request_.ModuleName + " )");
        Line("{");
        out_.Indent();
        Line("CurrentState = State::" + m_.States[edge_.StartState()].Identifier + " ;");
        if (!d_.Coming.empty()) Line("next = CurrentState ;");
        for (const hdl::Symbol& symbol : d_.Scope->Symbols.All()) {
            const SymbolRole role = names_.RoleOf(symbol);
            if (role == SymbolRole::Register)
                Line("r_" + symbol.Name + " = " + StartValue(symbol) + " ;");
            if (role == SymbolRole::Wire) Line("w_" + symbol.Name + " = 0 ;");
            if (role == SymbolRole::Register && !d_.Coming.empty())
                Line("n_" + symbol.Name + " = r_" + symbol.Name + " ;");
            if (role == SymbolRole::Input && names_.IsRead(symbol))
                Line("i_" + symbol.Name + " = 0 ;");
        }
        Line("//~0 is no value of an output: the first activation writes them all");
        for (const machine::FlatPort& port : m_.Ports)
            if (port.Direction != machine::PortDirection::In) Line("o_" + port.Name + " = ~0ULL ;");
        if (request_.StatePort) Line(std::string("o_") + kStatePortName + " = -1 ;");
        Line(request_.Thread ? "SC_THREAD ( Run ) ;" : "SC_METHOD ( Activate ) ;");
        for (const std::string& event : Sensitivity())
            Line("sensitive << " + event + " ;");
        out_.Dedent();
        Line("}");
    }

    // Registers start at 0, an integer whose range lacks 0 at its low end.
    static std::string StartValue(const hdl::Symbol& symbol) {
        if (symbol.IntegerRange && symbol.IntegerRange->Low > 0)
            return std::to_string(symbol.IntegerRange->Low);
        return "0";
    }

    const machine::FlatMachine& m_;
    const ParsedDesign& d_;
    const ModuleRequest& request_;
    ModuleNames names_;
    EdgeWriter edge_;
    hdl::CodePrinter out_;
};

} // namespace

WrittenModule WriteHdlModule(const machine::FlatMachine& machine, const ParsedDesign& design,
                             const ModuleRequest& request, Diagnostics& warnings) {
    return ModuleWriter(machine, design, request, warnings).Write();
}

} // namespace kestrom::translation
