#include "app/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>

namespace kestrom {

const char* const kUsage =
    "Usage: kestrom-gen [--process thread|method] [EXTENSIONS] INPUT.asf OUTPUT.cpp\n"
    "       kestrom-gen --svg PICTURE.svg [OPTIONS] INPUT.asf [OUTPUT.cpp]\n"
    "       kestrom-gen --simulate [--process thread|method] [EXTENSIONS] INPUT.asf\n"
    "\n"
    "Generates the SystemC module of the state machine drawn in INPUT.asf.\n"
    "INPUT - reads standard input; OUTPUT - writes to standard output.\n"
    "\n"
    "  --process thread|method  the kind of process to generate; without it,\n"
    "                           the choice stored in option.dat beside the program\n"
    "                           (in ~/.config/kestrom/ when that folder is read-only)\n"
    "  --reset sync|async       the condition of the transition from Reset resets\n"
    "                           the machine at a clock edge, or at once\n"
    "  --action-kinds           entry, exit and transition actions run as drawn\n"
    "  --typed-ports            ports typed by their drawn width: bool, sc_uint<N>,\n"
    "                           sc_biguint<N>; bidirectional ports as sc_inout\n"
    "  --state-port             adds sc_out <int> fsm_state, the current state\n"
    "  --any-version            accepts files of versions 1.15 to 1.29\n"
    "  --hdl                    the actions, conditions and declarations are in the\n"
    "                           language the file's LANGUAGE= line names (Verilog or\n"
    "                           VHDL): translate them and write the module as the\n"
    "                           hardware the diagram describes, sub-diagrams\n"
    "                           flattened, the reset as drawn (implies\n"
    "                           --action-kinds, --typed-ports, --any-version)\n"
    "  -I, --include-dir DIR    with --hdl: where `include files are looked for\n"
    "                           (repeatable, searched in order)\n"
    "  --define NAME=VALUE      with --hdl: defines or overrides the macro NAME\n"
    "  --package FILE.vhd       with --hdl: reads the constants of a VHDL package\n"
    "  --svg PICTURE.svg        also draw the top-level diagram as an SVG picture;\n"
    "                           OUTPUT.cpp may then be left out\n"
    "  --diagnostics-format text|json\n"
    "                           warnings and errors on standard error as\n"
    "                           FILE:LINE: lines (the default) or one JSON document\n"
    "  --sarif FILE             also write them to FILE as SARIF 2.1.0\n"
    "  --testbench BENCH.cpp    also writes a SystemC test bench of the module (adds\n"
    "                           --state-port); its run writes MODULE.vcd and prints\n"
    "                           the states and transitions it covered\n"
    "  --cycles N               the bench runs N clock cycles (default 1000)\n"
    "  --seed S                 the seed of the bench's random inputs (default 1)\n"
    "  --stimuli FILE.csv       the bench drives the inputs from the file: a header\n"
    "                           cycle,PORT,PORT,... and rows that set the ports named\n"
    "                           from that cycle on\n"
    "  --no-condition-analysis  do not analyse the transitions' conditions (by\n"
    "                           default overlaps, covered transitions and conditions\n"
    "                           that never or always hold are warned about)\n"
    "  --uncovered-inputs       also tell inputs under which a state has no\n"
    "                           transition that holds\n"
    "  --simulate               builds the module with a driver (c++ and pkg-config\n"
    "                           systemc, cached in ~/.cache/kestrom/sim) and runs it\n"
    "                           on commands from standard input, one a line:\n"
    "                           set PORT VALUE (decimal, 0x..., 0b...), step [N],\n"
    "                           back [N], run until state NAME [limit N], reset,\n"
    "                           quit; prints \"cycle N state NAME PORT=VALUE ...\"\n"
    "                           after every cycle stepped or gone back to\n"
    "  --help                   show this text\n"
    "  --version                show the version\n"
    "\n"
    "Exit status: 0 generated, 1 not generated, 2 usage error.\n"
    "With --simulate: 0 when the session ended, 1 when the module could not be\n"
    "generated or built, or the driver failed.\n";

namespace {

Integer ParseProcessKind(const std::string& value) {
    if (value == "thread") return kThreadProcess;
    if (value == "method") return kMethodProcess;
    throw UsageError("--process takes thread or method, not '" + value + "'");
}

ResetStyle ParseResetStyle(const std::string& value) {
    if (value == "sync") return ResetStyle::Sync;
    if (value == "async") return ResetStyle::Async;
    throw UsageError("--reset takes sync or async, not '" + value + "'");
}

std::uint64_t ParseBenchNumber(const std::string& option, const std::string& value,
                               std::uint64_t least) {
    std::uint64_t number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, failure] = std::from_chars(value.data(), end, number);
    if (value.empty() || stop != end || failure != std::errc() || number < least)
        throw UsageError(option + " takes a whole number from " + std::to_string(least) +
                         ", not '" + value + "'");
    return number;
}

struct BenchOptions {
    std::optional<std::string> bench, cycles, seed, stimuli;
};

std::optional<TestBenchRequest> BenchRequest(const BenchOptions& given, const Arguments& args) {
    if (!given.bench) {
        if (given.cycles || given.seed || given.stimuli)
            throw UsageError("--cycles, --seed and --stimuli need --testbench BENCH.cpp");
        return std::nullopt;
    }
    if (args.files.size() < 2) throw UsageError("--testbench needs OUTPUT.cpp");
    if (args.files[1] == "-")
        throw UsageError("--testbench needs the module in a file, not standard output");
    TestBenchRequest request;
    request.BenchPath = *given.bench;
    if (given.cycles) request.Cycles = ParseBenchNumber("--cycles", *given.cycles, 1);
    if (given.seed) request.Seed = ParseBenchNumber("--seed", *given.seed, 0);
    if (given.stimuli) request.StimuliPath = *given.stimuli;
    return request;
}

// A later occurrence of an option replaces an earlier one, as in most tools.
// A repeatable option takes one value each time it is given, so the files
// after it stay files.
CLI::Option* AddRepeatable(CLI::App& app, const std::string& name,
                           std::vector<std::string>& values) {
    return app.add_option(name, values)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

template <typename T> CLI::Option* AddOption(CLI::App& app, const std::string& name, T& value) {
    return app.add_option(name, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// "NAME=VALUE", or "NAME" for a macro defined empty.
std::pair<std::string, std::string> ParseDefine(const std::string& text) {
    const std::size_t equals = text.find('=');
    std::string name = text.substr(0, equals);
    const bool identifier = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
                            std::all_of(name.begin(), name.end(), [](char c) {
                                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                            });
    if (!identifier)
        throw UsageError("--define takes NAME=VALUE with NAME a macro name, not '" + text + "'");
    return {name, equals == std::string::npos ? std::string() : text.substr(equals + 1)};
}

struct HdlGiven {
    std::vector<std::string> defines;
};

void FinishHdl(const HdlGiven& given, Arguments& args) {
    translation::HdlOptions& hdl = args.hdl;
    if (!hdl.Enabled) {
        if (!hdl.IncludeDirs.empty() || !given.defines.empty() || !hdl.Packages.empty())
            throw UsageError("--include-dir, --define and --package need --hdl");
        return;
    }
    for (const std::string& define : given.defines)
        hdl.Defines.push_back(ParseDefine(define));
    args.extensions.ActionKinds = true;
    args.extensions.TypedPorts = true;
    args.extensions.AnyVersion = true;
}

// A simulation reads its commands from standard input and writes no file.
void RequireSimulation(const Arguments& args, const BenchOptions& bench) {
    if (args.svgPath || args.sarifPath || bench.bench || bench.cycles || bench.seed ||
        bench.stimuli)
        throw UsageError("--simulate writes no file: leave out --svg, --sarif and --testbench");
    if (args.files.size() != 1) throw UsageError("--simulate takes INPUT.asf only");
    if (args.files[0] == "-")
        throw UsageError("--simulate reads its commands from standard input: INPUT.asf must be "
                         "a file");
}

} // namespace

Arguments ParseArguments(int argc, const char* const argv[]) {
    Arguments args;
    std::optional<std::string> process;
    std::optional<std::string> reset;
    BenchOptions bench;

    CLI::App app("", "kestrom-gen");
    app.set_help_flag(); // the usage text is our own
    app.add_flag("-h,--help", args.help);
    app.add_flag("--version", args.version);
    AddOption(app, "--process", process)->type_name("thread|method");
    AddOption(app, "--reset", reset)->type_name("sync|async");
    app.add_flag("--action-kinds", args.extensions.ActionKinds);
    app.add_flag("--typed-ports", args.extensions.TypedPorts);
    app.add_flag("--state-port", args.extensions.StatePort);
    app.add_flag("--any-version", args.extensions.AnyVersion);
    HdlGiven hdl;
    app.add_flag("--hdl", args.hdl.Enabled);
    AddRepeatable(app, "-I,--include-dir", args.hdl.IncludeDirs)->type_name("DIR");
    AddRepeatable(app, "--define", hdl.defines)->type_name("NAME=VALUE");
    AddRepeatable(app, "--package", args.hdl.Packages)->type_name("FILE.vhd");
    bool noAnalysis = false;
    app.add_flag("--no-condition-analysis", noAnalysis);
    app.add_flag("--uncovered-inputs", args.uncoveredInputs);
    app.add_flag("--simulate", args.simulate);
    AddOption(app, "--diagnostics-format", args.diagnosticsFormat)->type_name("text|json");
    AddOption(app, "--sarif", args.sarifPath)->type_name("FILE");
    AddOption(app, "--testbench", bench.bench)->type_name("BENCH.cpp");
    AddOption(app, "--cycles", bench.cycles)->type_name("N");
    AddOption(app, "--seed", bench.seed)->type_name("S");
    AddOption(app, "--stimuli", bench.stimuli)->type_name("FILE.csv");
    AddOption(app, "--svg", args.svgPath)->type_name("PICTURE.svg");
    app.add_option("files", args.files);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    args.conditionAnalysis = !noAnalysis;
    if (process) args.processKind = ParseProcessKind(*process);
    if (reset) args.extensions.Reset = ParseResetStyle(*reset);
    if (reset && args.hdl.Enabled)
        throw UsageError("--hdl resets as the Reset object is drawn: leave out --reset");
    FinishHdl(hdl, args);
    if (args.diagnosticsFormat != "text" && args.diagnosticsFormat != "json")
        throw UsageError("--diagnostics-format takes text or json, not '" + args.diagnosticsFormat +
                         "'");
    if (args.simulate && !args.help && !args.version) {
        RequireSimulation(args, bench);
        return args;
    }
    const bool filesFit = args.files.size() == 2 || (args.svgPath && args.files.size() == 1);
    if (!args.help && !args.version && !filesFit)
        throw UsageError(args.svgPath ? "expected INPUT.asf and at most OUTPUT.cpp"
                                      : "expected INPUT.asf and OUTPUT.cpp");
    if (!args.help && !args.version) args.bench = BenchRequest(bench, args);
    return args;
}

} // namespace kestrom
