#include "app/BatchTool.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/OptionFile.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/TestBenchGeneration.h"
#include "model/ProductInfo.h"

namespace kestrom {
namespace {

constexpr const char* kUsage =
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

struct Arguments {
    std::optional<Integer> processKind;
    Extensions extensions;
    std::optional<TestBenchRequest> bench;
    std::vector<std::string> files;
    bool help = false;
    bool version = false;
};

class UsageError {
public:
    explicit UsageError(std::string message) : message(std::move(message)) {}
    std::string message;
};

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

// The switches of the extensions; false when arg is none of them.
bool ParseExtensionSwitch(const std::string& arg, Extensions& extensions) {
    if (arg == "--action-kinds")
        extensions.ActionKinds = true;
    else if (arg == "--typed-ports")
        extensions.TypedPorts = true;
    else if (arg == "--state-port")
        extensions.StatePort = true;
    else if (arg == "--any-version")
        extensions.AnyVersion = true;
    else if (arg.rfind("--reset=", 0) == 0)
        extensions.Reset = ParseResetStyle(arg.substr(8));
    else
        return false;
    return true;
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

// --testbench and its details; false when arg is none of them.
bool ParseBenchOption(const std::string& arg, int& i, int argc, const char* const argv[],
                      Arguments& args) {
    const std::size_t equals = arg.find('=');
    const std::string option = arg.substr(0, equals);
    if (option != "--testbench" && option != "--cycles" && option != "--seed" &&
        option != "--stimuli")
        return false;
    std::string value;
    if (equals != std::string::npos)
        value = arg.substr(equals + 1);
    else if (++i < argc)
        value = argv[i];
    else
        throw UsageError(option + " needs a value");
    if (!args.bench) args.bench = TestBenchRequest{};
    if (option == "--testbench") args.bench->BenchPath = value;
    if (option == "--cycles") args.bench->Cycles = ParseBenchNumber(option, value, 1);
    if (option == "--seed") args.bench->Seed = ParseBenchNumber(option, value, 0);
    if (option == "--stimuli") args.bench->StimuliPath = value;
    return true;
}

void RequireWholeBenchRequest(const Arguments& args) {
    if (!args.bench) return;
    if (args.bench->BenchPath.empty())
        throw UsageError("--cycles, --seed and --stimuli need --testbench BENCH.cpp");
    if (args.files.size() == 2 && args.files[1] == "-")
        throw UsageError("--testbench needs the module in a file, not standard output");
}

Arguments ParseArguments(int argc, const char* const argv[]) {
    Arguments args;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-')
            args.files.push_back(arg);
        else if (arg == "--")
            optionsEnded = true;
        else if (arg == "--help" || arg == "-h")
            args.help = true;
        else if (arg == "--version")
            args.version = true;
        else if (arg.rfind("--process=", 0) == 0)
            args.processKind = ParseProcessKind(arg.substr(10));
        else if (arg == "--process") {
            if (++i == argc) throw UsageError("--process needs a value: thread or method");
            args.processKind = ParseProcessKind(argv[i]);
        } else if (arg == "--reset") {
            if (++i == argc) throw UsageError("--reset needs a value: sync or async");
            args.extensions.Reset = ParseResetStyle(argv[i]);
        } else if (!ParseExtensionSwitch(arg, args.extensions) &&
                   !ParseBenchOption(arg, i, argc, argv, args)) {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (!args.help && !args.version && args.files.size() != 2)
        throw UsageError("expected INPUT.asf and OUTPUT.cpp");
    RequireWholeBenchRequest(args);
    return args;
}

class BatchRun {
public:
    BatchRun(const Arguments& args, const std::string& programDir, BatchStreams streams)
        : input_(args.files[0]), output_(args.files[1]), extensions_(args.extensions),
          bench_(args.bench), streams_(streams), model_(ProgramModel()) {
        model_.ProcessKind = args.processKind ? *args.processKind : StoredProcessKind(programDir);
    }

    int Run() {
        try {
            RequireAcceptedFirstLine(input_, extensions_);
            Diagnostics warnings;
            if (bench_)
                warnings =
                    GenerateModuleWithTestBench(input_, output_, model_, extensions_, *bench_);
            else if (output_ == "-")
                WriteToStandardOutput(GenerateModule(input_, model_, extensions_, warnings));
            else
                warnings = GenerateModuleFile(input_, output_, model_, extensions_);
            for (const Diagnostic& warning : warnings)
                Report(input_, warning.Line, "warning", warning.Message);
            return kExitGenerated;
        } catch (const AsfError& error) {
            Report(input_, error.Line(), "error", error.Message());
        } catch (const InputFileError& error) {
            Report(error.File(), error.Line(), "error", error.Message());
        } catch (const OutputError& error) {
            Report(output_, 0, "error", error.Message());
        }
        return kExitNotGenerated;
    }

private:
    // As the window does before each generation: a file that cannot be read
    // leaves the process kind a thread process.
    static Integer StoredProcessKind(const std::string& programDir) {
        Integer kind = kThreadProcess;
        try {
            LoadProcessKind(OptionFilePath(programDir), kind);
        } catch (const OptionFileError&) {
        }
        return kind;
    }

    void WriteToStandardOutput(const std::string& text) {
        if (std::fwrite(text.data(), 1, text.size(), streams_.out) != text.size() ||
            std::fflush(streams_.out) != 0)
            throw OutputError(std::string("cannot write standard output: ") + std::strerror(errno));
    }

    void Report(const std::string& file, int line, const char* severity,
                const std::string& message) {
        std::fprintf(streams_.err, "%s\n", FormatDiagnostic(file, line, severity, message).c_str());
    }

    std::string input_;
    std::string output_;
    Extensions extensions_;
    std::optional<TestBenchRequest> bench_;
    BatchStreams streams_;
    FsmModel& model_;
};

} // namespace

int RunBatchTool(int argc, const char* const argv[], const std::string& programDir,
                 BatchStreams streams) {
    Arguments args;
    try {
        args = ParseArguments(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(streams.err, "kestrom-gen: %s\n%s", error.message.c_str(), kUsage);
        return kExitUsage;
    }
    if (args.help) {
        std::fputs(kUsage, streams.out);
        return kExitGenerated;
    }
    if (args.version) {
        std::fprintf(streams.out, "%.*s %.*s\n", static_cast<int>(kProductName.size()),
                     kProductName.data(), static_cast<int>(kProductVersion.size()),
                     kProductVersion.data());
        return kExitGenerated;
    }
    return BatchRun(args, programDir, streams).Run();
}

} // namespace kestrom
