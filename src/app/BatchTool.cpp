#include "app/BatchTool.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/CommandLine.h"
#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/InputFile.h"
#include "conversion/OptionFile.h"
#include "model/ProductInfo.h"

namespace kestrom {
namespace {

class BatchRun {
public:
    BatchRun(const Arguments& args, const std::string& programDir, BatchStreams streams)
        : input_(args.files[0]), output_(args.files[1]), streams_(streams), model_(ProgramModel()) {
        model_.ProcessKind = args.processKind ? *args.processKind : StoredProcessKind(programDir);
    }

    int Run() {
        try {
            // One open of the input: a pipe or FIFO can be read only once.
            const InputText input = input_ == "-" ? ReadInputDescriptor(0) : ReadInputFile(input_);
            RequireAsfFirstLineIn(input.Text());
            Diagnostics warnings;
            if (output_ == "-") {
                WriteToStandardOutput(GenerateSystemCFromText(input.Text(), model_, warnings));
            } else {
                RequireOutputIsNotInput(input_, output_);
                warnings = GenerateSystemCFileFromText(input.Text(), output_, model_);
            }
            for (const Diagnostic& warning : warnings)
                Report(input_, warning.Line, "warning", warning.Message);
            return kExitGenerated;
        } catch (const AsfError& error) {
            Report(input_, error.Line(), "error", error.Message());
        } catch (const OutputError& error) {
            Report(output_, 0, "error", error.Message());
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory);
        } catch (const std::length_error&) {
            Report(input_, 0, "error", kNotEnoughMemory);
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

// --help and --version succeed only when their text was written.
int Written(BatchStreams streams) {
    if (std::fflush(streams.out) == 0 && !std::ferror(streams.out)) return kExitGenerated;
    std::fprintf(streams.err, "kestrom-gen: error: cannot write standard output: %s\n",
                 std::strerror(errno));
    return kExitNotGenerated;
}

} // namespace

int RunBatchTool(int argc, const char* const argv[], const std::string& programDir,
                 BatchStreams streams) {
    Arguments args;
    try {
        args = ParseArguments(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(streams.err, "kestrom-gen: %s\n%s", error.what(), kUsage);
        return kExitUsage;
    }
    if (args.help) {
        std::fputs(kUsage, streams.out);
        return Written(streams);
    }
    if (args.version) {
        std::fprintf(streams.out, "%.*s %.*s\n", static_cast<int>(kProductName.size()),
                     kProductName.data(), static_cast<int>(kProductVersion.size()),
                     kProductVersion.data());
        return Written(streams);
    }
    return BatchRun(args, programDir, streams).Run();
}

} // namespace kestrom
