#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

namespace kestrom {

const char* const kUsage =
    "Usage: kestrom-gen [--process thread|method] [EXTENSIONS] INPUT.asf OUTPUT.cpp\n"
    "\n"
    "Generates the SystemC module of the state machine drawn in INPUT.asf.\n"
    "OUTPUT - writes to standard output.\n"
    "\n"
    "  --process thread|method  the kind of process to generate; without it,\n"
    "                           the choice stored in option.dat beside the program\n"
    "  --reset sync|async       the condition of the transition from Reset resets\n"
    "                           the machine at a clock edge, or at once\n"
    "  --action-kinds           entry, exit and transition actions run as drawn\n"
    "  --typed-ports            ports typed by their drawn width: bool, sc_uint<N>,\n"
    "                           sc_biguint<N>; bidirectional ports as sc_inout\n"
    "  --state-port             adds sc_out <int> fsm_state, the current state\n"
    "  --any-version            accepts files of versions 1.15 to 1.29\n"
    "                           (in ~/.config/kestrom/ when that folder is read-only)\n"
    "  --diagnostics-format text|json\n"
    "                           warnings and errors on standard error as\n"
    "                           FILE:LINE: lines (the default) or one JSON document\n"
    "  --sarif FILE             also write them to FILE as SARIF 2.1.0\n"
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

// A later occurrence of an option replaces an earlier one, as in most tools.
template <typename T> CLI::Option* AddOption(CLI::App& app, const std::string& name, T& value) {
    return app.add_option(name, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

} // namespace

Arguments ParseArguments(int argc, const char* const argv[]) {
    Arguments args;
    std::optional<std::string> process;
    std::optional<std::string> reset;

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
    if (!args.help && !args.version && args.files.size() != 2)
        throw UsageError("expected INPUT.asf and OUTPUT.cpp");
    return args;
}

} // namespace kestrom
