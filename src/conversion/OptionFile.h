// option.dat: the stored process kind, a 16-bit integer in its first two
// bytes, least significant byte first (FF FF method, 00 00 thread).
#pragma once

#include <stdexcept>
#include <string>

#include "model/FsmModel.h"

namespace kestrom {

class OptionFileError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// programDir + "/option.dat"
std::string OptionFilePath(const std::string& programDir);

// Creates a missing file empty. A file shorter than two bytes leaves
// processKind as it was. Throws OptionFileError naming the path and reason.
void LoadProcessKind(const std::string& path, Integer& processKind);

// Rewrites the first two bytes only; later bytes stay. Throws OptionFileError.
void SaveProcessKind(const std::string& path, Integer processKind);

} // namespace kestrom
