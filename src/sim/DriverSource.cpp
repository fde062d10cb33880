#include "sim/DriverSource.h"

#include "extensions/Stimuli.h"
#include "model/ProductInfo.h"
#include "sim/DriverLoop.h"

namespace kestrom::sim {
namespace {

std::string Literal(const std::string& text) {
    std::string literal = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') literal += '\\';
        literal += c;
    }
    return literal + "\"";
}

bool IsShown(const ModulePort& port) {
    return port.Direction != PortDirection::In && !port.IsStatePort;
}

SignalInfo InfoOf(const ModulePort& port) {
    const ValueRange range = RangeOfType(port.Type).value_or(ValueRange{});
    return {port.Name, range.Bits, range.Signed};
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The statement that appends a port's value, in decimal, to `line`.
std::string AppendPort(const ModulePort& port) {
    const std::string read = "wires." + port.Name + ".read ()";
    if (port.Type == "bool") return "AppendNumber ( line , " + read + " ? 1 : 0 , false ) ;";
    if (StartsWith(port.Type, "sc_big"))
        return "line += " + read + ".to_string ( SC_DEC , false ) ;";
    std::string value = "static_cast < long long > ( " + read + " )";
    if (StartsWith(port.Type, "sc_uint")) value = read + ".to_uint64 ()";
    if (StartsWith(port.Type, "sc_int")) value = read + ".to_int64 ()";
    if (StartsWith(port.Type, "sc_uint")) return "AppendNumber ( line , " + value + " , false ) ;";
    return "{ const long long v = " + value +
           " ; AppendNumber ( line , v < 0 ? 0ULL - v : v , v < 0 ) ; }";
}

// The statement that appends a register of the module, in decimal, to `line`.
std::string AppendInternal(const translation::InternalSignal& signal) {
    const std::string read = "dut." + signal.Member;
    if (signal.Width > 64) return "line += " + read + ".to_string ( SC_DEC , false ) ;";
    if (!signal.Signed || signal.Width < 1) return "AppendNumber ( line , " + read + " , false ) ;";
    const std::string sign =
        "( ( " + read + " >> " + std::to_string(signal.Width - 1) + " ) & 1u )";
    const std::string mask =
        signal.Width == 64 ? "~0ULL" : "( ~0ULL >> " + std::to_string(64 - signal.Width) + " )";
    return "{ const bool negative = " + sign + " ; AppendNumber ( line , negative ? ( 0ULL - " +
           read + " ) & " + mask + " : " + read + " , negative ) ; }";
}

class DriverWriter {
public:
    explicit DriverWriter(const SimDesign& design) : d_(design) {}

    std::string Write() {
        Line("// Simulation driver of the SystemC module " + d_.Bench.Module + ", written by " +
             std::string(kProductName) + " " + std::string(kProductVersion) + ".");
        Line("// It answers version " + std::to_string(kProtocolVersion) +
             " of the simulation line protocol on its standard input and output.");
        Line();
        out_ += WriteBenchRuntime(d_.Bench);
        WriteTables();
        Line("} // namespace kestrom_bench");
        out_ += kDriverLoop;
        return std::move(out_);
    }

private:
    void Line(const std::string& text = {}) { out_ += text + "\n"; }

    void WriteTables() {
        const std::string& module = d_.Bench.Module;
        Line("const char* const kModuleName = " + Literal(module) + " ;");
        std::string hello = FormatHello(HelloOf(d_));
        hello.erase(hello.rfind(" reset "));
        Line("const char* const kHelloStart = " + Literal(hello) + " ;");
        Line();
        Line("// In the order of kInputs.");
        Line("const std::vector < const char* > kInputNames = {");
        for (const ModulePort& port : d_.Bench.Ports)
            if (port.Direction == PortDirection::In && !port.IsClock)
                Line("    " + Literal(port.Name) + " ,");
        Line("} ;");
        Line("const std::vector < const char* > kStateWords = {");
        for (const std::string& state : d_.Bench.States)
            Line("    " + Literal(EscapeWord(state)) + " ,");
        Line("} ;");
        Line();
        Line("void AppendNumber ( std::string& line , unsigned long long value , bool negative )");
        Line("{");
        Line("    char digits[24] ;");
        Line("    int n = 0 ;");
        Line("    do { digits[n++] = static_cast < char > ( '0' + value % 10 ) ; value /= 10 ; } "
             "while ( value ) ;");
        Line("    if ( negative ) line += '-' ;");
        Line("    while ( n ) line += digits[--n] ;");
        Line("}");
        Line();
        WriteShown();
        Line("void Bind ( KestromModule& dut , Wires& wires )");
        Line("{");
        for (const ModulePort& port : d_.Bench.Ports)
            Line("    dut." + port.Name + " ( wires." + port.Name + " ) ;");
        Line("}");
        Line();
        Line("long long StateCode ( Wires& wires )");
        Line("{");
        Line("    return wires." + std::string(kStatePortName) + ".read () ;");
        Line("}");
        Line();
    }

    void WriteShown() {
        Line("// The outputs and internal signals each cycle line carries.");
        Line("struct Shown { const char* Name ; void ( *Append ) ( std::string& , Wires& , "
             "KestromModule& ) ; } ;");
        Line("const std::vector < Shown > kShown = {");
        const std::string head = " , [] ( std::string& line , Wires& wires , KestromModule& dut ) "
                                 "{ ( void ) wires ; ( void ) dut ; ";
        for (const ModulePort& port : d_.Bench.Ports)
            if (IsShown(port))
                Line("    { " + Literal(port.Name) + head + AppendPort(port) + " } } ,");
        for (const translation::InternalSignal& signal : d_.Internals)
            Line("    { " + Literal(EscapeWord(signal.Name)) + head + AppendInternal(signal) +
                 " } } ,");
        Line("} ;");
        Line();
    }

    const SimDesign& d_;
    std::string out_;
};

} // namespace

Hello HelloOf(const SimDesign& design) {
    Hello hello;
    hello.Version = kProtocolVersion;
    hello.Module = design.Bench.Module;
    for (const ModulePort& port : design.Bench.Ports) {
        if (port.Direction == PortDirection::In && !port.IsClock)
            hello.Inputs.push_back(InfoOf(port));
        if (IsShown(port)) hello.Outputs.push_back(InfoOf(port));
    }
    for (const translation::InternalSignal& signal : design.Internals)
        hello.Internals.push_back({signal.Name, signal.Width, signal.Signed});
    hello.States = design.Bench.States;
    hello.HasReset = design.Bench.Reset.has_value();
    return hello;
}

std::string ModuleFileName(const SimDesign& design) {
    return design.Bench.Module + ".cpp";
}

std::string WriteDriverSource(const SimDesign& design) {
    SimDesign included = design;
    included.Bench.ModuleInclude = ModuleFileName(design);
    return DriverWriter(included).Write();
}

} // namespace kestrom::sim
