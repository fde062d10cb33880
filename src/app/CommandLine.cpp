#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

namespace kestrom {

const char* const kUsage =
    "Usage: kestrom-gen [--process thread|method] [EXTENSIONS] INPUT.asf OUTPUT.cpp\n"
    "       kestrom-gen --svg PICTURE.svg [OPTIONS] INPUT.asf [OUTPUT.cpp]\n"
    "\n"
    "Generates the SystemC module of the state machine drawn in INPUT.asf.\n"
    "OUTPUT - writes to standard output.\n"
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
    "  --help                   show this text\n"
    "  --version                show the version\n"
    "\n"
    "Exit status: 0 generated, 1 not generated, 2 usage error.\n";

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
    std::size_t end = 0;
    unsigned long long number = 0;
    try {
        if (!value.empty() && value[0] != '-') number = std::stoull(value, &end, 10);
    } catch (const std::exception&) {
        end = 0;
    }
    if (end == 0 || end != value.size() || number < least)
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
template <typename T> CLI::Option* AddOption(CLI::App& app, const std::string& name, T& value) {
    return app.add_option(name, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
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
    if (process) args.processKind = ParseProcessKind(*process);
    if (reset) args.extensions.Reset = ParseResetStyle(*reset);
    if (args.diagnosticsFormat != "text" && args.diagnosticsFormat != "json")
        throw UsageError("--diagnostics-format takes text or json, not '" + args.diagnosticsFormat +
                         "'");
    const bool filesFit = args.files.size() == 2 || (args.svgPath && args.files.size() == 1);
    if (!args.help && !args.version && !filesFit)
        throw UsageError(args.svgPath ? "expected INPUT.asf and at most OUTPUT.cpp"
                                      : "expected INPUT.asf and OUTPUT.cpp");
    if (!args.help && !args.version) args.bench = BenchRequest(bench, args);
    return args;
}

} // namespace kestrom
