// The test bench's fixed code, the headers in extensions/runtime as text
// (embedded when the program is built).
#pragma once

namespace kestrom {

// Coverage, random inputs, stimuli and the reset search; also the driver's.
extern const char* const kBenchRuntimeText;
// The coverage report that ends a bench's run.
extern const char* const kBenchReportText;

} // namespace kestrom
