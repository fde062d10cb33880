#pragma once

#include <string>

namespace kestrom {

// The directory that holds the running program, without a trailing slash.
std::string ProgramDirectory();

} // namespace kestrom
