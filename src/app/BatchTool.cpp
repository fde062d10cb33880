#include "app/BatchTool.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "analysis/ConditionAnalysis.h"
#include "app/CommandLine.h"
#include "app/DiagnosticsOutput.h"
#include "app/HeapReserve.h"
#include "app/Simulation.h"
#include "base/Error.h"
#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "drawing/PictureFile.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/TestBenchGeneration.h"
#include "io/InputFile.h"
#include "io/OptionFile.h"
#include "io/OutputFile.h"
#include "machine/Design.h"
#include "model/ProductInfo.h"
#include "sim/SimGeneration.h"
#include "translation/HdlGeneration.h"

namespace kestrom {
namespace {

class BatchRun {
public:
    BatchRun(const Arguments& args, const std::string& programDir, BatchStreams streams)
        : args_(args), input_(args.files[0]), output_(args.files.size() > 1 ? args.files[1] : ""),
          svgPath_(args.svgPath.value_or("")), extensions_(args.extensions), bench_(args.bench),
          streams_(streams), model_(ProgramModel()) {
        model_.ProcessKind =
            args.processKind ? *args.processKind : StoredProcessKind(programDir, reported_);
    }

    int Run() {
        // Standard input, a pipe or a FIFO can be read only once, by one reader.
        std::optional<SpooledInput> spooled;
        try {
            spooled.emplace(input_);
        } catch (const Error& error) {
            ReportError(error, input_);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        }
        if (!spooled) {
            WriteDiagnostics(std::move(reported_), args_, streams_.err);
            return kExitNotGenerated;
        }
        asfPath_ = spooled->Path();
        ReserveHeapForInput(asfPath_);
        if (args_.simulate) return Simulate();
        const bool drawn = svgPath_.empty() || DrawPicture();
        const int status = output_.empty() ? kExitGenerated : Generate();
        if (args_.conditionAnalysis && (status == kExitGenerated || output_.empty()))
            AnalyseConditions();
        const bool reported = WriteDiagnostics(std::move(reported_), args_, streams_.err);
        return reported && drawn ? status : kExitNotGenerated;
    }

private:
    bool DrawPicture() {
        try {
            Diagnostics problems;
            design_ = machine::Design::Load(asfPath_);
            const std::string svg =
                drawing::PictureSvgOf(design_->Drawing(), design_->Machine(), problems);
            for (const Diagnostic& problem : problems)
                Report(input_, problem.Line, "warning", problem.Message, problem.Code);
            if (svgPath_ == "-")
                WriteToStandardOutput(svg);
            else
                ReplaceFileContent(svgPath_, svg);
            return true;
        } catch (const Error& error) {
            ReportError(error, svgPath_);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        }
        return false;
    }

    int Generate() { return args_.hdl.Enabled ? GenerateHdl() : GeneratePlain(); }

    // The real-diagram mode: translation errors carry their own file, line
    // and column; nothing is written when any error is reported.
    int GenerateHdl() {
        bool generated = false;
        Reporting([&] {
            translation::HdlRequest request;
            request.AsfPath = asfPath_;
            request.ShownName = input_;
            request.Thread = model_.ProcessKind != kMethodProcess;
            request.StatePort = extensions_.StatePort;
            request.Options = args_.hdl;
            if (output_ != "-") RequireOutputIsNotInput(input_, output_);
            Diagnostics problems;
            if (bench_) {
                generated =
                    translation::GenerateHdlWithTestBench(request, output_, *bench_, problems);
            } else if (output_ == "-") {
                const translation::HdlResult result =
                    translation::GenerateHdl(request, false, problems);
                if (result.Generated) WriteToStandardOutput(result.Module.Text);
                generated = result.Generated;
            } else {
                generated = translation::GenerateHdlFile(request, output_, problems);
            }
            ReportAll(problems);
        });
        return generated ? kExitGenerated : kExitNotGenerated;
    }

    // Runs the generation, reporting what it throws; translation errors carry
    // their own file, line and column.
    template <typename Generation> void Reporting(Generation&& generation) {
        try {
            generation();
        } catch (const Error& error) {
            ReportError(error, output_);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        }
    }

    // The module generated as Generate writes it, then built and run on the
    // commands of standard input; the condition analysis is left out.
    int Simulate() {
        std::optional<sim::SimDesign> design;
        Reporting([&] {
            const sim::SimRequest request{asfPath_, input_, extensions_, args_.hdl};
            Diagnostics problems;
            design = sim::GenerateSimulation(request, model_, problems);
            ReportAll(problems);
        });
        const bool failed = AnyErrorReported();
        if (!WriteDiagnostics(std::move(reported_), args_, streams_.err) || failed || !design)
            return kExitNotGenerated;
        return RunSimulation(*design, streams_.err);
    }

    void ReportAll(const Diagnostics& problems) {
        for (const Diagnostic& problem : problems)
            Report(input_, problem.Line,
                   problem.Level == Severity::Error  ? "error"
                   : problem.Level == Severity::Note ? "note"
                                                     : "warning",
                   problem.Message, problem.Code, problem.Column);
    }

    int GeneratePlain() {
        try {
            // A test bench run reads the file once: the design serves the
            // first-line test, the module, the bench and the picture.
            if (bench_ && !design_) design_ = machine::Design::Load(asfPath_);
            if (design_)
                RequireAcceptedFirstLine(*design_, extensions_);
            else
                RequireAcceptedFirstLine(asfPath_, extensions_);
            Diagnostics warnings;
            if (output_ != "-") RequireOutputIsNotInput(input_, output_);
            // The file is read once: the picture's reading serves the module too.
            if (bench_ && design_)
                warnings = GenerateModuleWithTestBench(asfPath_, *design_, output_, model_,
                                                       extensions_, *bench_);
            else if (bench_)
                warnings =
                    GenerateModuleWithTestBench(asfPath_, output_, model_, extensions_, *bench_);
            else if (output_ == "-")
                WriteToStandardOutput(
                    design_ ? GenerateModule(*design_, model_, extensions_, warnings)
                            : GenerateModule(asfPath_, model_, extensions_, warnings));
            else if (design_)
                warnings = GenerateModuleFile(asfPath_, *design_, output_, model_, extensions_);
            else
                warnings = GenerateModuleFile(asfPath_, output_, model_, extensions_);
            for (const Diagnostic& warning : warnings)
                Report(input_, warning.Line, "warning", warning.Message, warning.Code);
            return kExitGenerated;
        } catch (const Error& error) {
            ReportError(error, output_);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        } catch (const std::length_error&) {
            Report(input_, 0, "error", kNotEnoughMemory, code::kAsfError);
        }
        return kExitNotGenerated;
    }

    // The condition analysis's warnings join the run's; they change nothing
    // that is written. A file it cannot read has had its error reported by
    // the generation or the picture, unless neither ran into it.
    void AnalyseConditions() {
        analysis::AnalysisOptions options;
        options.UncoveredInputs = args_.uncoveredInputs;
        try {
            const analysis::AnalysisResult result =
                analysis::AnalyseConditionsOfFile(asfPath_, args_.hdl, options);
            for (const Diagnostic& diagnostic : result.Reported) {
                Report(input_, diagnostic.Line,
                       diagnostic.Level == Severity::Note ? "note" : "warning", diagnostic.Message,
                       diagnostic.Code);
                reported_.back().Related = diagnostic.Related;
            }
        } catch (const AsfError& error) {
            if (!AnyErrorReported())
                Report(input_, error.Line(), "note",
                       "the conditions were not analysed: " + error.Message(),
                       code::kConditionNotDecided);
        } catch (const std::bad_alloc&) {
            Report(input_, 0, "note",
                   std::string("the conditions were not analysed: ") + kNotEnoughMemory,
                   code::kConditionNotDecided);
        }
    }

    bool AnyErrorReported() const {
        for (const FileDiagnostic& diagnostic : reported_)
            if (diagnostic.Severity == "error") return true;
        return false;
    }

    void WriteToStandardOutput(const std::string& text) {
        if (std::fwrite(text.data(), 1, text.size(), streams_.out) != text.size() ||
            std::fflush(streams_.out) != 0)
            throw OutputError(std::string("cannot write standard output: ") + std::strerror(errno));
    }

    void Report(const std::string& file, int line, const char* severity, const std::string& message,
                std::string_view code, int column = 0) {
        reported_.push_back({file, line, severity, message, code, column, {}});
    }

    // An error that names no file of its own concerns the file being
    // written when it is an output error, else the input.
    void ReportError(const Error& error, const std::string& written) {
        const std::string& file = !error.File().empty()                ? error.File()
                                  : error.Code() == code::kOutputError ? written
                                                                       : input_;
        Report(file, error.Line(), "error", error.Message(), error.Code(), error.Column());
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
    std::unique_ptr<const machine::Design> design_; // read for the picture
    FileDiagnostics reported_;
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
