// The fixed part of every driver program: its command loop and sc_main.
#pragma once

namespace kestrom::sim {

extern const char* const kDriverLoop;

} // namespace kestrom::sim
