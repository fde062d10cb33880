#include "app/BatchTool.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/OptionFile.h"
#include "model/ProductInfo.h"

namespace kestrom {
namespace {

constexpr const char* kUsage =
    "Usage: kestrom-gen [--process thread|method] INPUT.asf OUTPUT.cpp\n"
    "\n"
    "Generates the SystemC module of the state machine drawn in INPUT.asf.\n"
    "OUTPUT - writes to standard output.\n"
    "\n"
    "  --process thread|method  the kind of process to generate; without it,\n"
    "                           the choice stored in option.dat beside the program\n"
    "  --help                   show this text\n"
    "  --version                show the version\n"
    "\n"
    "Exit status: 0 generated, 1 not generated, 2 usage error.\n";

struct Arguments {
    std::optional<Integer> processKind;
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
        } else {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (!args.help && !args.version && args.files.size() != 2)
        throw UsageError("expected INPUT.asf and OUTPUT.cpp");
    return args;
}

class BatchRun {
public:
    BatchRun(const Arguments& args, const std::string& programDir, BatchStreams streams)
        : input_(args.files[0]), output_(args.files[1]), streams_(streams), model_(ProgramModel()) {
        model_.ProcessKind = args.processKind ? *args.processKind : StoredProcessKind(programDir);
    }

    int Run() {
        try {
            RequireAsfFirstLine(input_);
            Diagnostics warnings;
            if (output_ == "-")
                WriteToStandardOutput(GenerateSystemC(input_, model_, warnings));
            else
                warnings = GenerateSystemCFile(input_, output_, model_);
            for (const Diagnostic& warning : warnings)
                Report(input_, warning.Line, "warning", warning.Message);
            return kExitGenerated;
        } catch (const AsfError& error) {
            Report(input_, error.Line(), "error", error.Message());
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
