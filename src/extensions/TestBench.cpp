#include "extensions/TestBench.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "extensions/BenchText.h"
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

    // Fixed code as its lines, with the bench's line ends.
    void Lines(std::string_view text) {
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            Line(std::string(text.substr(start, end - start)));
            start = end + 1;
        }
    }

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
        Line("namespace kestrom_bench { typedef " + d_.Module + " KestromModule ; }");
        Lines(kBenchRuntimeText);
        Line();
        Line("namespace kestrom_bench {");
        Line();
    }

    std::string FilterFile() const {
        return d_.Module + "." + kStatePortName + ".txt";
    }

    void WriteTables() {
        Line("const std::uint64_t kCycles = " + std::to_string(run_.Cycles) + "ULL ;");
        Line("const std::uint64_t kSeed = " + std::to_string(run_.Seed) + "ULL ;");
        Line();
        Line("// By the code " + std::string(kStatePortName) + " carries.");
        Line("const std::vector < const char* > kStates = {");
        for (const std::string& state : d_.States)
            Line("    " + Literal(state) + " ,");
        Line("} ;");
        Line("std::vector < Transition > transitions = {");
        for (const BenchTransition& transition : d_.Transitions)
            Line("    { " + std::to_string(transition.Id) + " , " + Literal(transition.Text) +
                 " , 0 } ,");
        Line("} ;");
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
        Line("const std::vector < Input > kInputs = {");
        for (const BenchInput& input : inputs_)
            Line("    { " + std::to_string(input.Range.Bits) + " , " +
                 (input.Range.Signed ? "true" : "false") + " , " +
                 std::to_string(input.ForReset ? kResetColumn : input.Column) +
                 " , [] ( Wires& wires , std::uint64_t value ) { " + WriteCall(input) + " } } ,");
        Line("} ;");
        Line();
        WriteStimuli();
    }

    void WriteStimuli() {
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
    }

    void WriteReport() {
        Line("} // namespace kestrom_bench");
        Lines(kBenchReportText);
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
        Line("    WriteStateFilter ( " + Literal(FilterFile()) + " ) ;");
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
