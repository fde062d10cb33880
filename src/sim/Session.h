// kestrom-gen --simulate: commands read one a line, checked against the
// module's ports and states, run by the driver, and one line printed for
// every cycle stepped or gone back to:
//
//   cycle N state NAME PORT=VALUE ...
//
// (every output and internal signal, decimal). A bad command prints
// "error: ..." on the error stream and the session goes on.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "sim/Driver.h"

namespace kestrom::sim {

// The number of cycles `run until` runs when no limit is given.
constexpr std::uint64_t kDefaultRunLimit = 10000;

// Until quit or the end of input: 0, or 1 when the driver failed.
int RunSession(Driver& driver, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace kestrom::sim
