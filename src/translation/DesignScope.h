// The names a real diagram's texts may use, gathered before any text is
// parsed: the macros of the header's `include lines and of the command line,
// the constants of VHDL packages, the drawn ports, signals and constants, and
// then the declarations drawn in the diagram.
#pragma once

#include <string>

#include "drawing/Drawing.h"
#include "hdl/Parse.h"
#include "machine/FlatMachine.h"
#include "translation/HdlOptions.h"

namespace kestrom::translation {

// Throws hdl::TranslationError (K4xx) for what cannot be read: a missing
// include file, a constant whose value is no number, a bad declaration.
void FillScope(const drawing::Drawing& drawing, const machine::FlatMachine& machine,
               hdl::Language language, const HdlOptions& options, const std::string& asfFile,
               hdl::Scope& scope);

// "[7:0]" as Left 7, Right 0; false for a text of another shape.
bool ParseBusRange(const std::string& range, int& left, int& right);

} // namespace kestrom::translation
