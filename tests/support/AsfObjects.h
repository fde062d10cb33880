// ASF files written object by object for the plain generator's tests, and
// the generated text taken apart.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {
// Readable diagnostics in test failures.
void PrintTo(const Diagnostic& diagnostic, std::ostream* out);
} // namespace kestrom

namespace kestrom::test {

// An ASF file around the given object lines (each without line end).
std::string AsfWithObjects(const std::vector<std::string>& objects,
                           const std::string& entity = "ENTITY=\"M\"");

FsmModel ReadObjects(const std::vector<std::string>& objects);

// "line N: message" of the read's failure, or "no error".
std::string ReadError(const std::string& asfText);

// The generated file for the objects, with warnings collected.
std::string Generate(const std::vector<std::string>& objects, Integer processKind,
                     Diagnostics* warnings = nullptr);

// The generated lines from "//Next State" to "break ;" of the state whose
// case label is the given name, without their indentation.
std::vector<std::string> NextStateLines(const std::string& output, const std::string& state);

std::vector<std::string> SplitCrLfLines(const std::string& text);

// One line per object, compact enough to compare a whole model at once.
std::string DumpModel(const FsmModel& model);

} // namespace kestrom::test
