// A simulation saved: its inputs as a stimuli table a test bench reads back
// (--testbench --stimuli), and its trace as a VCD waveform.
#pragma once

#include <ostream>

#include "sim/Controller.h"

namespace kestrom::sim {

// Lines end in LF. The reset presses cannot be part of the table (a test
// bench holds the reset itself): the file's comment says how many were left
// out, and so does the return value.
std::size_t WriteStimuli(const Controller& simulation, std::ostream& out);

// The kept trace, one 10 ns period a cycle: every input, output and internal
// signal as a vector of its width, the state as a string.
void WriteVcd(const Controller& simulation, std::ostream& out);

} // namespace kestrom::sim
