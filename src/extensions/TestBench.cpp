#include "extensions/TestBench.h"

#include <algorithm>
#include <cstdio>

#include "model/ProductInfo.h"

namespace kestrom {
namespace {

constexpr const char* kPeriod = "sc_time ( 10 , SC_NS )";
constexpr int kResetColumn = -2; // what the bench calls an input the reset reads

// A C++ string literal holding the text as it is.
std::string Literal(const std::string& text) {
    std::string literal = "\"";
    for (char c : text) {
        if (c == '\n')
            literal += "\\n";
        else if (c == '\r')
            literal += "\\r";
        else if (c == '"' || c == '\\')
            literal += {'\\', c};
        else
            literal += c;
    }
    return literal + "\"";
}

// The text on one comment line: a line break would end the comment.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

bool ReadByReset(const BenchDesign& design, const std::string& port) {
    return design.Reset && std::find(design.Reset->Reads.begin(), design.Reset->Reads.end(),
                                     port) != design.Reset->Reads.end();
}

std::string WhyNotDrivable(const BenchDesign& design, const ModulePort& port) {
    if (port.IsStatePort) return "the state port, an output";
    if (port.Direction == PortDirection::Out) return "an output port";
    if (port.Direction == PortDirection::InOut) return "a bidirectional port, left to the module";
    if (port.IsClock) return "the clock, which the test bench drives";
    if (ReadByReset(design, port.Name)) return "read by the reset, which the test bench drives";
    return "";
}

ValueRange RangeOf(const ModulePort& port) {
    return RangeOfType(port.Type).value_or(ValueRange{});
}

std::uint64_t TwosComplement(const StimulusValue& value) {
    return value.Negative ? ~value.Magnitude + 1 : value.Magnitude;
}

// The module's inputs that the bench writes, other than clocks: in port order.
struct BenchInput {
    const ModulePort* Port = nullptr;
    ValueRange Range;
    bool ForReset = false;
    int Column = -1; // the stimuli column that drives it, or -1: random values
};

class BenchWriter {
public:
    BenchWriter(const BenchDesign& design, const BenchRun& run) : d_(design), run_(run) {
        for (const ModulePort& port : d_.Ports)
            if (port.Direction == PortDirection::In && !port.IsClock) AddInput(port);
    }

    std::string Write() {
        WriteHeader();
        WriteRuntime();
        WriteReport();
        WriteMain();
        return std::move(out_);
    }

    // Everything a program driving the module needs, up to the bench's own
    // report and main; the namespace kestrom_bench is left open.
    std::string WriteRuntimeOnly() {
        WriteIncludes();
        WriteRuntime();
        return std::move(out_);
    }

private:
    void AddInput(const ModulePort& port) {
        BenchInput input{&port, RangeOf(port), ReadByReset(d_, port.Name), -1};
        if (run_.Inputs) {
            const auto& columns = run_.Inputs->Ports;
            const auto found = std::find(columns.begin(), columns.end(), port.Name);
            if (found != columns.end()) input.Column = static_cast<int>(found - columns.begin());
        }
        inputs_.push_back(input);
    }

    void Line(const std::string& text = {}) { out_ += text + run_.LineEnd; }

    std::string ClockNames() const {
        std::string names;
        for (const ModulePort& port : d_.Ports)
            if (port.IsClock) names += (names.empty() ? "" : " and ") + port.Name;
        return names.empty() ? "no clock" : "the clock " + names;
    }

    std::string InputsSource() const {
        if (!run_.Inputs) return "seeded random values (seed " + std::to_string(run_.Seed) + ")";
        return "the stimuli file " + OneLine(run_.Inputs->File) +
               ", the inputs it does not name with seeded random values (seed " +
               std::to_string(run_.Seed) + ")";
    }

    void WriteHeader() {
        Line("// Test bench of the SystemC module " + d_.Module + ", written by " +
             std::string(kProductName) + " " + std::string(kProductVersion) + ".");
        Line("//");
        Line("// Build and run it in the folder that is to receive the waveform:");
        Line("//   g++ -std=c++17 " + d_.BenchFile + " $(pkg-config --cflags --libs systemc)");
        Line("//   ./a.out");
        Line("//");
        Line("// It drives " + ClockNames() + " with a 10 ns period" +
             (d_.Reset ? ", holds the reset (" + OneLine(d_.Reset->Expression) + ") for two cycles"
                       : "") +
             " and the inputs with " + InputsSource() + " for " + std::to_string(run_.Cycles) +
             " cycles.");
        Line("// It writes " + d_.Module + ".vcd, a waveform of every port and " + kStatePortName +
             ", and " + FilterFile() + ",");
        Line("// a GTKWave translate filter that shows the states of " +
             std::string(kStatePortName) + " by name; then it prints the");
        Line("// cycles spent in each state and how often each transition was taken.");
        Line();
        WriteIncludes();
    }

    void WriteRuntime() {
        WriteTables();
        WriteInputs();
        WriteReset();
    }

    void WriteIncludes() {
        Line("#include <algorithm>");
        Line("#include <cstdint>");
        Line("#include <cstdio>");
        Line("#include <cstring>");
        Line("#include <vector>");
        Line();
        Line("// The module names each transition it takes, at the edge that takes it.");
        Line("namespace kestrom_bench { void Taken ( int transition ) ; }");
        Line("#define KESTROM_COVERAGE( transition ) kestrom_bench::Taken ( transition )");
        Line("#include \"" + d_.ModuleInclude + "\"");
        Line();
        Line("namespace kestrom_bench {");
        Line();
    }

    std::string FilterFile() const { return d_.Module + "." + kStatePortName + ".txt"; }

    void WriteTables() {
        Line("const std::uint64_t kCycles = " + std::to_string(run_.Cycles) + "ULL ;");
        Line("const std::uint64_t kSeed = " + std::to_string(run_.Seed) + "ULL ;");
        Line();
        Line("// By the code " + std::string(kStatePortName) + " carries.");
        Line("const std::vector < const char* > kStates = {");
        for (const std::string& state : d_.States)
            Line("    " + Literal(state) + " ,");
        Line("} ;");
        Line("std::vector < std::uint64_t > cyclesIn ( kStates.size () ) ;");
        Line("std::uint64_t cyclesInOtherCodes = 0 ;");
        Line();
        Line("struct Transition { int Id ; const char* Text ; std::uint64_t Taken ; } ;");
        Line("std::vector < Transition > transitions = {");
        for (const BenchTransition& transition : d_.Transitions)
            Line("    { " + std::to_string(transition.Id) + " , " + Literal(transition.Text) +
                 " , 0 } ,");
        Line("} ;");
        Line("std::uint64_t otherTransitions = 0 ;");
        Line("int lastTaken = 0 ; // the transition taken last, 0 before any");
        Line();
        Line("void Taken ( int transition )");
        Line("{");
        Line("    lastTaken = transition ;");
        Line("    for ( Transition& t : transitions )");
        Line("        if ( t.Id == transition ) { ++t.Taken ; return ; }");
        Line("    ++otherTransitions ;");
        Line("}");
        Line();
    }

    void WriteWires() {
        Line("struct Wires {");
        for (const ModulePort& port : d_.Ports) {
            if (port.IsClock)
                Line("    sc_clock " + port.Name + " { " + Literal(port.Name) + " , " + kPeriod +
                     " , 0.5 , sc_time ( 5 , SC_NS ) , true } ;");
            else
                Line("    sc_signal < " + port.Type + " > " + port.Name + " { " +
                     Literal(port.Name) + " } ;");
        }
        Line("} ;");
        Line();
    }

    std::string WriteCall(const BenchInput& input) const {
        const std::string& name = input.Port->Name;
        const std::string value =
            input.Range.Signed ? "static_cast < std::int64_t > ( value )" : "value";
        return "wires." + name + ".write ( static_cast < " + input.Port->Type + " > ( " + value +
               " ) ) ;";
    }

    void WriteInputs() {
        WriteWires();
        Line("// splitmix64: the same values from the same seed with every compiler");
        Line("std::uint64_t randomState = kSeed ;");
        Line("std::uint64_t NextRandom ()");
        Line("{");
        Line("    std::uint64_t z = ( randomState += 0x9E3779B97F4A7C15ULL ) ;");
        Line("    z = ( z ^ ( z >> 30 ) ) * 0xBF58476D1CE4E5B9ULL ;");
        Line("    z = ( z ^ ( z >> 27 ) ) * 0x94D049BB133111EBULL ;");
        Line("    return z ^ ( z >> 31 ) ;");
        Line("}");
        Line();
        Line("// A value of the given width; 0, 1, small numbers and the limits come more");
        Line("// often than others, so that conditions comparing with them are met.");
        Line("std::uint64_t RandomValue ( int bits , bool isSigned )");
        Line("{");
        Line("    const std::uint64_t mask = bits >= 64 ? ~0ULL : ( 1ULL << bits ) - 1 ;");
        Line("    const std::uint64_t pick = NextRandom () ;");
        Line("    std::uint64_t value = NextRandom () ;");
        Line("    switch ( pick % 8 ) {");
        Line("    case 0 : case 1 : value = pick >> 3 & 1 ; break ;");
        Line("    case 2 : value = pick >> 3 & 15 ; break ;");
        Line("    case 3 : value = isSigned ? mask >> 1 : mask ; break ;");
        Line("    case 4 : value = isSigned ? ~( mask >> 1 ) : 0 ; break ;");
        Line("    default : break ;");
        Line("    }");
        Line("    value &= mask ;");
        Line("    if ( isSigned && bits < 64 && ( value >> ( bits - 1 ) & 1 ) ) value |= ~mask ;");
        Line("    return value ;");
        Line("}");
        Line();
        Line("// Column: the stimuli column that drives the input; -1: random values; -2: the");
        Line("// reset reads it.");
        Line("struct Input { int Bits ; bool Signed ; int Column ; void ( *Write ) ( Wires& , "
             "std::uint64_t ) ; } ;");
        Line("const std::vector < Input > kInputs = {");
        for (const BenchInput& input : inputs_)
            Line("    { " + std::to_string(input.Range.Bits) + " , " +
                 (input.Range.Signed ? "true" : "false") + " , " +
                 std::to_string(input.ForReset ? kResetColumn : input.Column) +
                 " , [] ( Wires& wires , std::uint64_t value ) { " + WriteCall(input) + " } } ,");
        Line("} ;");
        Line();
        WriteStimuli();
        Line("// Inputs of one cycle: from the stimuli rows up to it, or random.");
        Line("std::size_t nextSetting = 0 ;");
        Line("void DriveInputs ( Wires& wires , std::uint64_t cycle )");
        Line("{");
        Line(
            "    for ( ; nextSetting < kSettings.size () && kSettings[nextSetting].Cycle <= cycle ;"
            " ++nextSetting )");
        Line("        for ( const Input& input : kInputs )");
        Line("            if ( input.Column == kSettings[nextSetting].Column )");
        Line("                input.Write ( wires , kSettings[nextSetting].Value ) ;");
        Line("    for ( const Input& input : kInputs )");
        Line("        if ( input.Column == -1 ) input.Write ( wires , RandomValue ( input.Bits , "
             "input.Signed ) ) ;");
        Line("}");
        Line();
    }

    void WriteStimuli() {
        Line("struct Setting { std::uint64_t Cycle ; int Column ; std::uint64_t Value ; } ;");
        Line(run_.Inputs ? "// From " + OneLine(run_.Inputs->File) + "." : "// No stimuli file.");
        Line("const std::vector < Setting > kSettings = {");
        if (run_.Inputs)
            for (const StimuliRow& row : run_.Inputs->Rows)
                for (std::size_t c = 0; c < row.Values.size(); ++c)
                    if (row.Values[c])
                        Line("    { " + std::to_string(row.Cycle) + "ULL , " + std::to_string(c) +
                             " , " + std::to_string(TwosComplement(*row.Values[c])) + "ULL } ,");
        Line("} ;");
        Line();
    }

    void WriteReset() {
        Line("// The reset holds for the values of the ports it reads that the search finds.");
        Line("bool ResetHolds ( " + d_.Module + "& kestrom_module )");
        Line("{");
        if (d_.Reset) {
            for (const ModulePort& port : d_.Ports)
                Line("    [[maybe_unused]] auto& " + port.Name + " = kestrom_module." + port.Name +
                     " ;");
            Line("    return static_cast < bool > ( " + d_.Reset->Expression + " ) ;");
        } else {
            Line("    ( void ) kestrom_module ;");
            Line("    return false ;");
        }
        Line("}");
        Line();
        Line("const bool kHasReset = " + std::string(d_.Reset ? "true" : "false") + " ;");
        Line("const char* const kResetText = " +
             Literal(d_.Reset ? d_.Reset->Expression : std::string()) + " ;");
        Line();
        Line("// Tries 1, 0 and all ones on each port the reset reads until the reset");
        Line("// holds (or does not); false when no such values are found.");
        Line("bool FindResetValues ( " + d_.Module +
             "& dut , Wires& wires , bool holds , std::vector < std::uint64_t >& found )");
        Line("{");
        Line("    const std::uint64_t tried[] = { 1 , 0 , ~0ULL } ;");
        Line("    std::vector < const Input* > ports ;");
        Line("    for ( const Input& input : kInputs )");
        Line("        if ( input.Column == -2 ) ports.push_back ( &input ) ;");
        Line("    std::uint64_t combinations = 1 ;");
        Line(
            "    for ( std::size_t i = 0 ; i < ports.size () && i < 6 ; ++i ) combinations *= 3 ;");
        Line("    for ( std::uint64_t c = 0 ; c < combinations ; ++c ) {");
        Line("        found.clear () ;");
        Line("        std::uint64_t digits = c ;");
        Line("        for ( const Input* input : ports ) {");
        Line("            found.push_back ( tried[digits % 3] ) ;");
        Line("            input->Write ( wires , found.back () ) ;");
        Line("            digits /= 3 ;");
        Line("        }");
        Line("        sc_start ( SC_ZERO_TIME ) ;");
        Line("        if ( ResetHolds ( dut ) == holds ) return true ;");
        Line("    }");
        Line("    return false ;");
        Line("}");
        Line();
        Line("void DriveReset ( Wires& wires , const std::vector < std::uint64_t >& values )");
        Line("{");
        Line("    std::size_t next = 0 ;");
        Line("    for ( const Input& input : kInputs )");
        Line("        if ( input.Column == -2 && next < values.size () ) input.Write ( wires , "
             "values[next++] ) ;");
        Line("}");
        Line();
    }

    void WriteReport() {
        Line("void WriteStateFilter ()");
        Line("{");
        Line("    std::FILE* filter = std::fopen ( " + Literal(FilterFile()) + " , \"w\" ) ;");
        Line("    if ( !filter ) { std::perror ( " + Literal(FilterFile()) + " ) ; return ; }");
        Line("    for ( std::size_t code = 0 ; code < kStates.size () ; ++code )");
        Line("        std::fprintf ( filter , \"%08zX %s\\n\" , code , kStates[code] ) ;");
        Line("    std::fclose ( filter ) ;");
        Line("}");
        Line();
        Line("void CountState ( int code )");
        Line("{");
        Line("    if ( code >= 0 && static_cast < std::size_t > ( code ) < kStates.size () ) "
             "++cyclesIn[code] ;");
        Line("    else ++cyclesInOtherCodes ;");
        Line("}");
        Line();
        Line("void PrintCount ( const char* what , std::uint64_t count , int width )");
        Line("{");
        Line("    std::printf ( \"  %-*s %llu\\n\" , width , what , static_cast < unsigned long "
             "long > "
             "( count ) ) ;");
        Line("}");
        Line();
        Line("void Report ()");
        Line("{");
        Line("    int width = 10 ;");
        Line("    for ( const char* state : kStates ) width = std::max ( width , static_cast < int "
             "> "
             "( std::strlen ( state ) ) ) ;");
        Line("    for ( const Transition& t : transitions ) width = std::max ( width , static_cast "
             "< "
             "int > ( std::strlen ( t.Text ) ) ) ;");
        Line("    std::printf ( \"State coverage (cycles in each state):\\n\" ) ;");
        Line("    for ( std::size_t s = 0 ; s < kStates.size () ; ++s ) PrintCount ( kStates[s] , "
             "cyclesIn[s] , width ) ;");
        Line("    if ( cyclesInOtherCodes ) PrintCount ( \"(no state)\" , cyclesInOtherCodes , "
             "width "
             ") ;");
        Line("    std::printf ( \"Transition coverage (times taken):\\n\" ) ;");
        Line("    for ( const Transition& t : transitions ) PrintCount ( t.Text , t.Taken , width "
             ") ;");
        Line("    if ( otherTransitions ) PrintCount ( \"(not drawn)\" , otherTransitions , width "
             ") ;");
        Line("    bool allReached = true ;");
        Line("    std::printf ( \"Never reached:\\n\" ) ;");
        Line("    for ( std::size_t s = 0 ; s < kStates.size () ; ++s )");
        Line("        if ( !cyclesIn[s] ) { std::printf ( \"  state %s\\n\" , kStates[s] ) ; "
             "allReached = false ; }");
        Line("    for ( const Transition& t : transitions )");
        Line("        if ( !t.Taken ) { std::printf ( \"  transition %s\\n\" , t.Text ) ; "
             "allReached = false ; }");
        Line("    if ( allReached ) std::printf ( \"  nothing: every state and transition was "
             "reached\\n\" ) ;");
        Line("}");
        Line();
        Line("} // namespace kestrom_bench");
        Line();
    }

    void WriteMain() {
        Line("int sc_main ( int , char* [] )");
        Line("{");
        Line("    using namespace kestrom_bench ;");
        Line("    sc_report_handler::set_actions ( SC_INFO , SC_DO_NOTHING ) ;");
        Line("    Wires wires ;");
        Line("    " + d_.Module + " dut ( " + Literal(d_.Module) + " ) ;");
        for (const ModulePort& port : d_.Ports)
            Line("    dut." + port.Name + " ( wires." + port.Name + " ) ;");
        Line();
        Line("    sc_trace_file* trace = sc_create_vcd_trace_file ( " + Literal(d_.Module) +
             " ) ;");
        for (const ModulePort& port : d_.Ports)
            Line("    sc_trace ( trace , wires." + port.Name + " , " + Literal(port.Name) + " ) ;");
        Line("    trace->set_time_unit ( 1 , SC_NS ) ;");
        Line("    WriteStateFilter () ;");
        Line();
        Line("    sc_start ( SC_ZERO_TIME ) ;");
        Line("    std::vector < std::uint64_t > holding , releasing ;");
        Line("    bool resetFound = kHasReset && FindResetValues ( dut , wires , false , releasing "
             ") "
             "&& FindResetValues ( dut , wires , true , holding ) ;");
        Line("    if ( kHasReset && !resetFound )");
        Line("        std::printf ( \"The reset (%s) holds and is released by none of the values "
             "tried; it is left alone.\\n\" , kResetText ) ;");
        Line("    for ( std::uint64_t cycle = 0 ; cycle < kCycles ; ++cycle ) {");
        Line("        if ( resetFound ) DriveReset ( wires , cycle < 2 ? holding : releasing ) ;");
        Line("        DriveInputs ( wires , cycle ) ;");
        Line("        sc_start ( " + std::string(kPeriod) + " ) ;");
        Line("        CountState ( wires." + std::string(kStatePortName) + ".read () ) ;");
        Line("    }");
        Line("    sc_close_vcd_trace_file ( trace ) ;");
        Line();
        Line("    std::printf ( \"%s: %llu cycles of 10 ns; waveform %s, state names for GTKWave "
             "%s\\n\" , " +
             Literal(d_.Module) + " , static_cast < unsigned long long > ( kCycles ) , " +
             Literal(d_.Module + ".vcd") + " , " + Literal(FilterFile()) + " ) ;");
        Line("    if ( resetFound ) std::printf ( \"The reset (%s) held for cycles 0 and 1.\\n\" , "
             "kResetText ) ;");
        Line("    Report () ;");
        Line("    return 0 ;");
        Line("}");
    }

    const BenchDesign& d_;
    const BenchRun& run_;
    std::vector<BenchInput> inputs_;
    std::string out_;
};

} // namespace

std::vector<StimulusPort> StimulusPorts(const BenchDesign& design) {
    std::vector<StimulusPort> ports;
    for (const ModulePort& port : design.Ports)
        ports.push_back({port.Name, RangeOf(port), WhyNotDrivable(design, port)});
    return ports;
}

std::string WriteTestBench(const BenchDesign& design, const BenchRun& run) {
    return BenchWriter(design, run).Write();
}

std::string WriteBenchRuntime(const BenchDesign& design) {
    BenchRun run;
    run.LineEnd = "\n";
    return BenchWriter(design, run).WriteRuntimeOnly();
}

} // namespace kestrom
