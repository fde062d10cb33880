// Reading an ASF file, as the state-diagram editor saves it, into the model.
#pragma once

#include <string>
#include <string_view>

#include "base/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {

// The test the Open command applies: the first line is exactly "VERSION=1.19".
// Lines may end in CR LF, LF or a lone CR.
bool PassesFirstLineTest(const std::string& path);

// The same test, failing with an AsfError that says why: the file cannot be
// opened or read, or is no regular file (line 0), or "Invalid ASF File
// Format" (line 1). A FIFO or device is refused without waiting on it.
void RequireAsfFirstLine(const std::string& path);

// The test over a file's content already read (see InputFile.h).
void RequireAsfFirstLineIn(std::string_view text);

// Rebuilds the model's six tables and scalars from the file; throws AsfError
// with the line number and a plain message when the file cannot be read.
// Each read starts from a clean model: nothing of an earlier file survives.
void ReadAsfFile(const std::string& path, FsmModel& model);

// The same read over text already in memory.
void ReadAsfText(std::string_view text, FsmModel& model);

// Empties the tables and scalars a read fills, as every read does first.
void ClearForRead(FsmModel& model);

} // namespace kestrom
