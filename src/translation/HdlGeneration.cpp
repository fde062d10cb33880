#include "translation/HdlGeneration.h"

#include <filesystem>

#include "base/CppNames.h"
#include "drawing/Drawing.h"
#include "drawing/DrawnMachine.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/TestBench.h"
#include "hdl/TranslationError.h"
#include "io/OutputFile.h"
#include "machine/FlatMachine.h"
#include "translation/ParsedDesign.h"

namespace kestrom::translation {
namespace {

namespace fs = std::filesystem;

void RequireVersion(const HdlRequest& request) {
    Extensions versions;
    versions.AnyVersion = request.AnyVersion;
    RequireAcceptedFirstLine(request.AsfPath, versions);
}

std::string ModuleNameOf(const drawing::Drawing& drawing, const std::string& file) {
    if (!IsCppIdentifier(drawing.Entity) || IsCppKeyword(drawing.Entity))
        hdl::fault::Unsupported(file, {0, 0},
                                "the module name '" + drawing.Entity +
                                    "' (the header's ENTITY), which is no C++ name");
    return drawing.Entity;
}

bool HasErrors(const Diagnostics& problems) {
    for (const Diagnostic& problem : problems)
        if (problem.Level == Severity::Error) return true;
    return false;
}

std::string IncludePath(const std::string& cppPath, const std::string& benchPath) {
    const fs::path module = fs::absolute(cppPath).lexically_normal();
    const fs::path benchFolder = fs::absolute(benchPath).lexically_normal().parent_path();
    const fs::path relative = module.lexically_relative(benchFolder);
    return (relative.empty() ? module : relative).generic_string();
}

} // namespace

BenchDesign DescribeHdlBench(const HdlResult& result, const std::string& moduleInclude,
                             const std::string& benchFile) {
    BenchDesign design;
    design.Module = result.ModuleName;
    design.ModuleInclude = moduleInclude;
    design.BenchFile = benchFile;
    design.Ports = result.Module.Ports;
    if (!result.Module.ResetExpression.empty())
        design.Reset = ResetRule{result.Module.ResetExpression, "", result.Module.ResetReads,
                                 result.Module.ResetLine};
    design.States = result.StatePaths;
    design.StateLines = result.StateLines;
    design.Transitions = result.Module.Transitions;
    return design;
}

HdlResult GenerateHdl(const HdlRequest& request, bool coverageHooks, Diagnostics& problems) {
    RequireVersion(request);
    const drawing::Drawing drawing = drawing::ReadDrawingFile(request.AsfPath);
    const drawing::DrawnMachine drawn = drawing::DescribeMachine(drawing);
    HdlResult result;
    const machine::FlatMachine flat = machine::Flatten(drawn, problems);
    if (HasErrors(problems) || machine::HasFlatteningErrors(problems)) return result;
    if (flat.States.empty())
        hdl::fault::Unsupported(request.ShownName, {0, 0}, "a diagram without states");
    const ParsedDesign design = ParseDesign(drawing, flat, request.Options, request.ShownName);
    ModuleRequest module;
    module.ModuleName = ModuleNameOf(drawing, request.ShownName);
    module.SourceName = fs::path(request.ShownName).filename().string();
    module.Thread = request.Thread;
    module.StatePort = request.StatePort;
    module.CoverageHooks = coverageHooks;
    module.LineDirectives = request.LineDirectives;
    if (module.LineDirectives && module.LineDirectives->ModuleFile.empty())
        module.LineDirectives->ModuleFile = module.ModuleName + ".cpp";
    result.Module = WriteHdlModule(flat, design, module, problems);
    result.ModuleName = module.ModuleName;
    for (const machine::FlatState& state : flat.States) {
        result.StatePaths.push_back(state.Path);
        result.StateLines.push_back(state.Drawn && state.Drawn->Object ? state.Drawn->Object->Line
                                                                       : 0);
    }
    result.Generated = true;
    SortAndLimit(problems);
    return result;
}

bool GenerateHdlFile(const HdlRequest& request, const std::string& cppPath, Diagnostics& problems) {
    RequireOutputIsNotInput(request.AsfPath, cppPath);
    const HdlResult result = GenerateHdl(request, false, problems);
    if (!result.Generated) return false;
    ReplaceFileContent(cppPath, result.Module.Text);
    return true;
}

bool GenerateHdlWithTestBench(HdlRequest request, const std::string& cppPath,
                              const TestBenchRequest& bench, Diagnostics& problems) {
    if (IsSameFile(request.AsfPath, cppPath) || IsSameFile(bench.BenchPath, request.AsfPath) ||
        IsSameFile(bench.BenchPath, cppPath) ||
        fs::absolute(bench.BenchPath).lexically_normal() ==
            fs::absolute(cppPath).lexically_normal())
        throw OutputError("cannot write the module " + cppPath + " and the test bench " +
                          bench.BenchPath + ": each must be a file of its own");
    request.StatePort = true;
    const HdlResult result = GenerateHdl(request, true, problems);
    if (!result.Generated) return false;
    const BenchDesign design = DescribeHdlBench(result, IncludePath(cppPath, bench.BenchPath),
                                                fs::path(bench.BenchPath).filename().string());
    BenchRun run;
    run.Cycles = bench.Cycles;
    run.Seed = bench.Seed;
    run.LineEnd = "\n"; // as the translated module's
    if (!bench.StimuliPath.empty())
        run.Inputs = ReadStimuliFile(bench.StimuliPath, StimulusPorts(design));
    const std::string benchText = WriteTestBench(design, run);
    ReplaceFileContent(cppPath, result.Module.Text);
    ReplaceFileContent(bench.BenchPath, benchText);
    return true;
}

} // namespace kestrom::translation
