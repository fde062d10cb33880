// kestrom-gen --testbench: the module, with its state port and coverage hook,
// and beside it the test bench that drives it.
#pragma once

#include <cstdint>
#include <string>

#include "base/Diagnostics.h"
#include "extensions/Extensions.h"
#include "extensions/TestBench.h"
#include "machine/Design.h"
#include "model/FsmModel.h"

namespace kestrom {

struct TestBenchRequest {
    std::string BenchPath;
    std::uint64_t Cycles = 1000;
    std::uint64_t Seed = 1;
    std::string StimuliPath; // empty: random inputs
};

// Reads the ASF file and the stimuli, then writes the module to cppPath and
// the bench to the request's path; nothing is written when either input is
// wrong. Throws AsfError, InputFileError (the stimuli) or OutputError.
Diagnostics GenerateModuleWithTestBench(const std::string& asfPath, const std::string& cppPath,
                                        FsmModel& model, Extensions extensions,
                                        const TestBenchRequest& request);

// The same from a design already read from asfPath.
Diagnostics GenerateModuleWithTestBench(const std::string& asfPath, const machine::Design& asf,
                                        const std::string& cppPath, FsmModel& model,
                                        Extensions extensions, const TestBenchRequest& request);

// What a bench or a simulator driving the module generated from the design
// needs of it (the model as the generation left it); the module is included as
// moduleInclude.
BenchDesign DescribeModuleBench(const machine::Design& asf, const FsmModel& model,
                                const Extensions& extensions, const std::string& moduleInclude,
                                const std::string& benchFile);

} // namespace kestrom
