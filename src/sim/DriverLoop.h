// The fixed part of every driver program, its command loop and sc_main, as
// text: sim/runtime/DriverLoop.h, embedded at build time.
#pragma once

namespace kestrom {

extern const char* const kDriverLoop;

} // namespace kestrom
