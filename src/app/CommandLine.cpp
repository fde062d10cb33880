#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

namespace kestrom {

const char* const kUsage =
    "Usage: kestrom-gen [--process thread|method] INPUT.asf OUTPUT.cpp\n"
    "\n"
    "Generates the SystemC module of the state machine drawn in INPUT.asf.\n"
    "INPUT - reads standard input; OUTPUT - writes to standard output.\n"
    "\n"
    "  --process thread|method  the kind of process to generate; without it,\n"
    "                           the choice stored in option.dat beside the program\n"
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

// A later occurrence of an option replaces an earlier one, as in most tools.
template <typename T> CLI::Option* AddOption(CLI::App& app, const std::string& name, T& value) {
    return app.add_option(name, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

} // namespace

Arguments ParseArguments(int argc, const char* const argv[]) {
    Arguments args;
    std::optional<std::string> process;

    CLI::App app("", "kestrom-gen");
    app.set_help_flag(); // the usage text is our own
    app.add_flag("-h,--help", args.help);
    app.add_flag("--version", args.version);
    AddOption(app, "--process", process)->type_name("thread|method");
    app.add_option("files", args.files);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    if (process) args.processKind = ParseProcessKind(*process);
    if (!args.help && !args.version && args.files.size() != 2)
        throw UsageError("expected INPUT.asf and OUTPUT.cpp");
    return args;
}

} // namespace kestrom
