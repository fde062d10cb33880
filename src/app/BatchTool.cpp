#include "app/BatchTool.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/CommandLine.h"
#include "app/FindingsOutput.h"
#include "app/HeapReserve.h"
#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/InputFile.h"
#include "conversion/OptionFile.h"
#include "conversion/OutputFile.h"
#include "drawing/PictureFile.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/TestBenchGeneration.h"
#include "model/ProductInfo.h"

namespace kestrom {
namespace {

class BatchRun {
public:
    BatchRun(const Arguments& args, const std::string& programDir, BatchStreams streams)
        : args_(args), input_(args.files[0]), output_(args.files.size() > 1 ? args.files[1] : ""),
          svgPath_(args.svgPath.value_or("")), extensions_(args.extensions), bench_(args.bench),
          streams_(streams), model_(ProgramModel()) {
        model_.ProcessKind =
            args.processKind ? *args.processKind : StoredProcessKind(programDir, findings_);
    }

    int Run() {
        // Standard input, a pipe or a FIFO can be read only once, by one reader.
        std::optional<SpooledInput> spooled;
        try {
            spooled.emplace(input_);
        } catch (const AsfError& error) {
            Report(input_, error.Line(), "error", error.Message(), code::kAsfError);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        }
        if (!spooled) {
            WriteFindings(std::move(findings_), args_, streams_.err);
            return kExitNotGenerated;
        }
        asfPath_ = spooled->Path();
        ReserveHeapForInput(asfPath_);
        const bool drawn = svgPath_.empty() || DrawPicture();
        const int status = output_.empty() ? kExitGenerated : Generate();
        const bool reported = WriteFindings(std::move(findings_), args_, streams_.err);
        return reported && drawn ? status : kExitNotGenerated;
    }

private:
    bool DrawPicture() {
        try {
            Diagnostics problems;
            const std::string svg = drawing::PictureSvgOfFile(asfPath_, problems);
            for (const Diagnostic& problem : problems)
                Report(input_, problem.Line, "warning", problem.Message, problem.Code);
            if (svgPath_ == "-")
                WriteToStandardOutput(svg);
            else
                ReplaceFileContent(svgPath_, svg);
            return true;
        } catch (const AsfError& error) {
            Report(input_, error.Line(), "error", error.Message(), code::kAsfError);
        } catch (const OutputError& error) {
            Report(svgPath_, 0, "error", error.Message(), code::kOutputError);
        }
        return false;
    }

    int Generate() {
        try {
            RequireAcceptedFirstLine(asfPath_, extensions_);
            Diagnostics warnings;
            if (output_ != "-") RequireOutputIsNotInput(input_, output_);
            if (bench_)
                warnings =
                    GenerateModuleWithTestBench(asfPath_, output_, model_, extensions_, *bench_);
            else if (output_ == "-")
                WriteToStandardOutput(GenerateModule(asfPath_, model_, extensions_, warnings));
            else
                warnings = GenerateModuleFile(asfPath_, output_, model_, extensions_);
            for (const Diagnostic& warning : warnings)
                Report(input_, warning.Line, "warning", warning.Message, warning.Code);
            return kExitGenerated;
        } catch (const AsfError& error) {
            Report(input_, error.Line(), "error", error.Message(), code::kAsfError);
        } catch (const InputFileError& error) {
            Report(error.File(), error.Line(), "error", error.Message(), code::kInputFileError);
        } catch (const OutputError& error) {
            Report(output_, 0, "error", error.Message(), code::kOutputError);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        } catch (const std::length_error&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        }
        return kExitNotGenerated;
    }

    void WriteToStandardOutput(const std::string& text) {
        if (std::fwrite(text.data(), 1, text.size(), streams_.out) != text.size() ||
            std::fflush(streams_.out) != 0)
            throw OutputError(std::string("cannot write standard output: ") + std::strerror(errno));
    }

    void Report(const std::string& file, int line, const char* severity, const std::string& message,
                std::string_view code) {
        findings_.push_back({file, line, severity, message, code});
    }

    const Arguments& args_;
    std::string input_;
    std::string asfPath_; // where the input can be read again
    std::string output_;
    std::string svgPath_;
    Extensions extensions_;
    std::optional<TestBenchRequest> bench_;
    BatchStreams streams_;
    FsmModel& model_;
    Findings findings_;
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
