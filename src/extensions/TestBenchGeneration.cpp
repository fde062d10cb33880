#include "extensions/TestBenchGeneration.h"

#include <filesystem>

#include "base/TextCodec.h"
#include "drawing/DrawnMachine.h"
#include "extensions/ExtendedGeneration.h"
#include "extensions/ModulePlan.h"
#include "extensions/ModuleWriter.h"
#include "extensions/TestBench.h"
#include "io/OutputFile.h"

namespace kestrom {
namespace {

namespace fs = std::filesystem;

const StateRec* StateWithId(const FsmModel& model, drawing::ObjectId id) {
    const StateRec* found = nullptr;
    for (int s = 1; s <= model.StateCount; ++s)
        if (model.StateTable[s].Id == id) found = &model.StateTable[s];
    return found;
}

// The condition the module tests: the last one drawn for the transition.
const ConditionRec* ConditionOf(const FsmModel& model, drawing::ObjectId transition) {
    const ConditionRec* found = nullptr;
    for (int c = 1; c <= model.ConditionCount; ++c)
        if (model.ConditionTable[c].OwnerId == transition) found = &model.ConditionTable[c];
    return found;
}

// Every drawn transition that leaves a state of the module, in the order of
// the file, named by its states and its condition.
std::vector<BenchTransition> CoveredTransitions(const FsmModel& model,
                                                const drawing::DrawnMachine& machine) {
    std::vector<BenchTransition> covered;
    for (const drawing::DrawnDiagram& diagram : machine.Diagrams)
        for (const drawing::DrawnTransition& transition : diagram.Transitions) {
            if (!transition.Object || transition.FromReset) continue;
            const StateRec* source = StateWithId(model, transition.Object->From);
            const StateRec* target = StateWithId(model, transition.Object->To);
            if (!source) continue;
            std::string text = source->Name + " -> " + (target ? target->Name : "(no state)");
            if (const ConditionRec* condition = ConditionOf(model, transition.Object->Id))
                text += " [" + DecodeCondition(condition->Text) + "]";
            covered.push_back(
                {static_cast<int>(transition.Object->Id), text, {transition.Object->Line}});
        }
    return covered;
}

// The fall-backs to the default state when no transition of a state holds,
// which no drawn transition stands for, in the order of the states.
std::vector<BenchTransition> FallBacks(const FsmModel& model) {
    std::vector<BenchTransition> fallBacks;
    const std::string& target = model.StateTable[model.DefaultStateIndex].Name;
    for (int row : StatesFallingBack(model)) {
        const StateRec& state = model.StateTable[row];
        fallBacks.push_back({static_cast<int>(FallBackHook(state)),
                             state.Name + " -> " + target + " (fall-back to the default state)",
                             {}});
    }
    return fallBacks;
}

// How the bench includes the module: relative to the bench's folder.
std::string IncludePath(const std::string& cppPath, const std::string& benchPath) {
    const fs::path module = fs::absolute(cppPath).lexically_normal();
    const fs::path benchFolder = fs::absolute(benchPath).lexically_normal().parent_path();
    const fs::path relative = module.lexically_relative(benchFolder);
    return (relative.empty() ? module : relative).generic_string();
}

BenchDesign DescribeBench(const machine::Design& asf, const FsmModel& model,
                          const Extensions& extensions, const std::string& cppPath,
                          const std::string& benchPath) {
    return DescribeModuleBench(asf, model, extensions, IncludePath(cppPath, benchPath),
                               fs::path(benchPath).filename().string());
}

void RequireDistinctFiles(const std::string& asfPath, const std::string& cppPath,
                          const TestBenchRequest& request) {
    const std::string& bench = request.BenchPath;
    if (IsSameFile(bench, asfPath) || IsSameFile(bench, cppPath) ||
        fs::absolute(bench).lexically_normal() == fs::absolute(cppPath).lexically_normal())
        throw OutputError("cannot write the test bench " + bench +
                          ": it is the ASF file or the module");
    if (!request.StimuliPath.empty() &&
        (IsSameFile(request.StimuliPath, bench) || IsSameFile(request.StimuliPath, cppPath)))
        throw OutputError("cannot write " + bench + " or " + cppPath +
                          ": the stimuli file would be replaced");
}

void RequireWritable(const std::string& asfPath, const std::string& cppPath,
                     const TestBenchRequest& request) {
    RequireOutputIsNotInput(asfPath, cppPath);
    RequireDistinctFiles(asfPath, cppPath, request);
}

} // namespace

BenchDesign DescribeModuleBench(const machine::Design& asf, const FsmModel& model,
                                const Extensions& extensions, const std::string& moduleInclude,
                                const std::string& benchFile) {
    Diagnostics repeated; // the module's generation reported them already
    const ModulePlan plan = PlanModule(model, asf, extensions, repeated);
    BenchDesign design;
    design.Module = model.ModuleName;
    design.ModuleInclude = moduleInclude;
    design.BenchFile = benchFile;
    design.Ports = plan.Ports;
    design.Reset = plan.Reset;
    for (int s = 1; s <= model.StateCount; ++s) {
        design.States.push_back(model.StateTable[s].Name);
        design.StateLines.push_back(model.StateTable[s].Line);
    }
    design.Transitions = CoveredTransitions(model, asf.Machine());
    for (BenchTransition& fallBack : FallBacks(model))
        design.Transitions.push_back(std::move(fallBack));
    return design;
}

Diagnostics GenerateModuleWithTestBench(const std::string& asfPath, const std::string& cppPath,
                                        FsmModel& model, Extensions extensions,
                                        const TestBenchRequest& request) {
    RequireWritable(asfPath, cppPath, request);
    return GenerateModuleWithTestBench(asfPath, ReadDesign(asfPath, model), cppPath, model,
                                       extensions, request);
}

Diagnostics GenerateModuleWithTestBench(const std::string& asfPath, const machine::Design& asf,
                                        const std::string& cppPath, FsmModel& model,
                                        Extensions extensions, const TestBenchRequest& request) {
    RequireWritable(asfPath, cppPath, request);
    extensions.StatePort = true;
    extensions.CoverageHooks = true;
    Diagnostics warnings;
    const std::string module = GenerateModule(asf, model, extensions, warnings);
    const BenchDesign design = DescribeBench(asf, model, extensions, cppPath, request.BenchPath);
    BenchRun run;
    run.Cycles = request.Cycles;
    run.Seed = request.Seed;
    if (!request.StimuliPath.empty())
        run.Inputs = ReadStimuliFile(request.StimuliPath, StimulusPorts(design));
    const std::string bench = WriteTestBench(design, run);
    ReplaceFileContent(cppPath, module);
    ReplaceFileContent(request.BenchPath, bench);
    return warnings;
}

} // namespace kestrom
