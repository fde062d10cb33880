// One parser per language behind the entry points of Parse.h.
#pragma once

#include "hdl/Parse.h"

namespace kestrom::hdl {

// Verilog; with `cpp` the C++ expressions of conditions (x.read(), true).
ExprPtr ParseVerilogCondition(std::string_view text, const TextOrigin& origin, const Scope& scope,
                              bool cpp);
StmtList ParseVerilogActions(std::string_view text, const TextOrigin& origin, const Scope& scope);
void ParseVerilogDeclarations(std::string_view text, const TextOrigin& origin, Scope& scope);
ModuleItems ParseVerilogModuleItems(std::string_view text, const TextOrigin& origin,
                                    const Scope& scope);

ExprPtr ParseVhdlCondition(std::string_view text, const TextOrigin& origin, const Scope& scope);
StmtList ParseVhdlActions(std::string_view text, const TextOrigin& origin, const Scope& scope);
void ParseVhdlDeclarations(std::string_view text, const TextOrigin& origin, Scope& scope);
ModuleItems ParseVhdlModuleItems(std::string_view text, const TextOrigin& origin,
                                 const Scope& scope);

} // namespace kestrom::hdl
