// kestrom-gen --testbench: the module, with its state port and coverage hook,
// and beside it the test bench that drives it.
#pragma once

#include <cstdint>
#include <string>

#include "conversion/Diagnostics.h"
#include "extensions/Extensions.h"
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

} // namespace kestrom
